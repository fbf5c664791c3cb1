// Runs the built kestrelon program in a throw-away drive tree.
//
// Every run gets a fresh temporary directory T with a fake drive root
// T/root: the Windows path "C:\a\b" lives at T/root/C/a/b, "D:\x" at
// T/root/D/x. The program starts in T/root/C/work, so its working directory
// lies inside drive C, as it does on a Windows machine running PRTG. The tree
// is removed when the run is over.
//
// With KESTRELON_E2E_WINE set to a Windows build tree (cmake/toolchains), the
// same cases run that tree's kestrelon.exe under Wine instead, with real
// Windows paths and without "--drive-root": in the tree's Wine prefix
// "wine-e2e-prefix", drive C is T/root/C (beside links to the prefix's own
// windows, users and ProgramData directories) and every other drive letter a
// case uses is T/root/<letter>, for the one run; so "C:\PRTG_Path.Txt" is the
// real file T/root/C/PRTG_Path.Txt and the working directory is C:\work. The
// program writes its standard streams in Windows text mode; each "\r\n" of
// them is turned back into "\n" (exactly undoing that), nothing else.
// Runs under Wine must not overlap (one prefix); CTest keeps them apart.
// The programs of one SharedTree are the exception: they run at once, in the
// one tree whose drives the prefix has, which Wine allows.
#ifndef KESTRELON_TESTS_E2E_PROGRAM_RUN_H_
#define KESTRELON_TESTS_E2E_PROGRAM_RUN_H_

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

/// A file to create before the program starts: a host path relative to the
/// drive root ("C/PRTG_Path.Txt", "C/work/PRD.P00") and its exact bytes.
struct HostFile {
  std::string path;
  std::string bytes;
};

/// What one run of the program left behind.
struct ProgramResult {
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error
  int exit_code = -1;  // the exit status; 128 + signal when killed
  bool timed_out = false;  // killed after the time limit
};

enum class DriveRootOption {
  kGiven,    // "--drive-root=T/root" goes before the case's own arguments
  kOmitted,  // the case's arguments alone
};

/// Every run that prints for PRTG (an output mode of the XML family, no
/// console report lines; see one_document.h) is also expected to print
/// exactly one XML document, as PRTG demands.
///
/// Creates `files` in a fresh drive tree, runs the program there with
/// `arguments` (after "--drive-root=T/root" unless omitted; never under
/// Wine, where the drive letters are real), without a shell,
/// and collects both output streams and the exit code. A run that takes
/// longer than 20 seconds is killed and reported as timed out; a tree that
/// cannot be set up, or a program that cannot be started, is reported as a
/// test failure and an exit code of -1.
ProgramResult RunProgram(const std::vector<HostFile>& files,
                         const std::vector<std::string>& arguments,
                         DriveRootOption drive_root = DriveRootOption::kGiven);

/// True when the cases run the Windows program under Wine.
bool RunsWindowsProgram();

/// The program's path as the program itself sees it (its argument 0): the
/// host path, or under Wine the Windows path ("Z:\...\kestrelon.exe").
std::string ProgramPathSeenByProgram();

/// Runs the program like RunProgram and, before the tree is removed, reads
/// each file of `left_paths` (host paths relative to the drive root, as in
/// HostFile) into `left`; a file that is not there has no entry.
ProgramResult RunProgramKeepingFiles(const std::vector<HostFile>& files,
                                     const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& left_paths,
                                     std::map<std::string, std::string>* left);

/// A change to a drive tree that HostFile cannot express (a file mode), made
/// on the tree's drive root; false when it could not be made.
using TreePreparation = std::function<bool(const std::filesystem::path& root)>;

/// Runs the program like RunProgramKeepingFiles, calling `prepare` once the
/// files are in place and before the program starts. A preparation that
/// fails is a test failure and no run (exit code -1).
ProgramResult RunProgramInPreparedTree(const std::vector<HostFile>& files,
                                       const TreePreparation& prepare,
                                       const std::vector<std::string>& arguments,
                                       const std::vector<std::string>& left_paths,
                                       std::map<std::string, std::string>* left);

/// One drive tree that several runs of the program share, for cases about
/// runs that start at once in one working directory, as a PRTG probe starts
/// its sensors. Laid out as RunProgram lays out its tree, and removed with
/// everything in it when the object goes; under Wine its drives are the
/// prefix's for as long as the object lives.
class SharedTree {
 public:
  /// Creates `files` in a fresh drive tree. A tree that cannot be set up is
  /// a test failure, and then ok() is false and no program runs.
  explicit SharedTree(const std::vector<HostFile>& files);
  ~SharedTree();
  SharedTree(const SharedTree&) = delete;
  SharedTree& operator=(const SharedTree&) = delete;

  bool ok() const;
  /// The drive root T/root, for a case that watches the tree while the
  /// programs run in it.
  const std::filesystem::path& root() const;

  /// Starts one program for each entry of `runs` (its arguments, after
  /// "--drive-root=T/root" except under Wine), all at once in the working
  /// directory C:\work, and waits until every one has ended. The results come
  /// in the order of `runs`, each checked and limited in time as RunProgram
  /// checks and limits its one; may be called again for another round.
  std::vector<ProgramResult> RunTogether(const std::vector<std::vector<std::string>>& runs) const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

#endif  // KESTRELON_TESTS_E2E_PROGRAM_RUN_H_
