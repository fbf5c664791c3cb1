#include "profile/system_profile.h"

#include "base/text.h"

namespace {

constexpr std::size_t kLabelLength = 12;
constexpr std::size_t kValueColumn = 14;
constexpr std::size_t kMaxValue = 60;
// The strict reader reads lines in pieces of 159 characters, the listed 199;
// a longer line counts with its first piece, which holds its label and value.
constexpr std::size_t kStrictPiece = 159;
constexpr std::size_t kListedPiece = 199;

enum class Handling { kCopy, kUpperCase, kPassword, kHost };

struct ProfileField {
  std::string_view label;
  std::size_t minimum;
  Handling handling;
  bool (*assign)(ConnectionParameters&, std::string_view);
  std::size_t (*length)(const ConnectionParameters&);
};

template <auto Member>
bool AssignField(ConnectionParameters& p, std::string_view value) {
  return (p.*Member).Assign(value);
}
template <auto Member>
std::size_t FieldLength(const ConnectionParameters& p) {
  return (p.*Member).size();
}
#define KESTRELON_FIELD(member) \
  AssignField<&ConnectionParameters::member>, FieldLength<&ConnectionParameters::member>

// In the order of the minimum-length checks.
const ProfileField kProfileFields[] = {
    {"Extcompany.:", 2, Handling::kCopy, KESTRELON_FIELD(Extcompany)},
    {"Destination:", 3, Handling::kCopy, KESTRELON_FIELD(Destination)},
    {"Client.....:", 3, Handling::kCopy, KESTRELON_FIELD(Client)},
    {"User.......:", 2, Handling::kUpperCase, KESTRELON_FIELD(User)},
    {"Password...:", 2, Handling::kPassword, KESTRELON_FIELD(Password)},
    {"Language...:", 1, Handling::kCopy, KESTRELON_FIELD(Language)},
    {"Mode.......:", 3, Handling::kCopy, KESTRELON_FIELD(Mode)},
    {"Hostname...:", 2, Handling::kHost, KESTRELON_FIELD(Hostname)},
    {"Sysnr......:", 2, Handling::kCopy, KESTRELON_FIELD(Sysnr)},
    {"Gwhost.....:", 2, Handling::kCopy, KESTRELON_FIELD(Gwhost)},
    {"Gwservice..:", 2, Handling::kCopy, KESTRELON_FIELD(Gwservice)},
};
#undef KESTRELON_FIELD

std::string Message(std::string_view prefix, std::string_view name, std::string_view suffix) {
  return std::string(prefix).append(name).append(suffix);
}

// One profile being read: the first fault ends a strict read; a listed read
// only remembers that there was one.
class ProfileRead {
 public:
  ProfileRead(ProfileReader variant, std::string_view profile_name, const PasswordKey& key,
              ConnectionParameters& parameters)
      : variant_(variant), profile_name_(profile_name), key_(key), parameters_(parameters) {}

  bool stopped() const { return fault_.has_value(); }
  std::optional<std::string> fault() const { return fault_; }

  void HandleLine(std::string_view line) {
    std::string_view label = line.substr(0, kLabelLength);
    std::string_view value = FromColumn(line, kValueColumn).substr(0, kMaxValue);
    for (const ProfileField& field : kProfileFields) {
      if (label == field.label) {
        HandleValue(field, value);
        return;
      }
    }
  }

  void CheckFields() {
    if (parameters_.User.empty()) {
      return Fail("Error 1006: Username in Profile ", " is missing...");
    }
    if (parameters_.Password.empty()) {
      return Fail("Error 1007: Password in Profile ", " is missing...");
    }
    for (const ProfileField& field : kProfileFields) {
      if (field.length(parameters_) < field.minimum) return FailInvalidParameters();
    }
  }

 private:
  void HandleValue(const ProfileField& field, std::string_view value) {
    switch (field.handling) {
      case Handling::kPassword:
        return HandlePassword(value);
      case Handling::kUpperCase:
        return Store(field, UpperCase(value));
      case Handling::kHost:
        Store(field, value);
        return parameters_.ReportHost.AssignCut(parameters_.Hostname.view());
      case Handling::kCopy:
        return Store(field, value);
    }
  }

  // A value too long for its field is refused, never cut: it names a system
  // or a logon value, and a cut one would log on somewhere else.
  void Store(const ProfileField& field, std::string_view value) {
    if (!field.assign(parameters_, value)) FailInvalidParameters();
  }

  void HandlePassword(std::string_view stored) {
    if (stored.empty()) {
      parameters_.Password.Clear();
      return;
    }
    DecodedPassword decoded = DecodeProfilePassword(stored, key_);
    if (!decoded.form_ok) {
      Fail("Error 1004: Invalid Password in Profile ", " found...");
      if (variant_ == ProfileReader::kStrict) return;
    }
    if (!decoded.check_ok) {
      return Fail("Error 1005: Wrong Password in Profile ", " found...");
    }
    parameters_.Password.AssignCut(decoded.clear.view());
  }

  void FailInvalidParameters() { Fail("Error 1003: Invalid Parameter(s) at ", " found..."); }

  void Fail(std::string_view prefix, std::string_view suffix) {
    if (variant_ == ProfileReader::kListed) {
      parameters_.ProfileState = kProfileUnusable;
    } else if (!fault_) {
      fault_ = Message(prefix, profile_name_, suffix);
    }
  }

  ProfileReader variant_;
  std::string_view profile_name_;
  const PasswordKey& key_;
  ConnectionParameters& parameters_;
  std::optional<std::string> fault_;
};

}  // namespace

std::optional<std::string> ReadSystemProfile(FilePtr file, ProfileReader variant,
                                             std::string_view profile_name,
                                             const PasswordKey& key,
                                             ConnectionParameters& parameters) {
  ProfileRead read(variant, profile_name, key, parameters);
  LineReader reader(file.get());
  std::size_t piece = variant == ProfileReader::kStrict ? kStrictPiece : kListedPiece;
  std::string line;
  while (!read.stopped() && reader.ReadPiece(piece, line)) {
    // The rest of an over-long line is no line of its own, whatever it reads.
    if (reader.piece_starts_line()) read.HandleLine(line);
  }
  file.reset();
  if (!read.stopped()) read.CheckFields();
  return read.fault();
}
