// Outcome: what a step of the run tells its caller.
//
// Only main ends the process. A step that has printed its final words (an
// error document, a summary, the usage text) returns End(code); main returns
// that code. Every other step returns GoOn() and the run continues.
#ifndef KESTRELON_BASE_OUTCOME_H_
#define KESTRELON_BASE_OUTCOME_H_

class [[nodiscard]] Outcome {
 public:
  static Outcome GoOn() { return Outcome(-1); }
  static Outcome End(int exit_code) { return Outcome(exit_code); }

  bool ended() const { return exit_code_ >= 0; }
  /// The process's exit code; meaningful only when ended().
  int exit_code() const { return exit_code_; }

 private:
  explicit Outcome(int exit_code) : exit_code_(exit_code) {}
  int exit_code_;
};

#endif  // KESTRELON_BASE_OUTCOME_H_
