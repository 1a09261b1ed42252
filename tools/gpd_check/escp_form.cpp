#include "tools/gpd_check/escp_form.h"

namespace {

constexpr char kEsc = '\x1B';
constexpr long kMaxSpacing = 255;

long Byte(std::string_view bytes, size_t at) {
  return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0;
}

}  // namespace

EscpFormLength ReadEscpFormLength(std::string_view bytes) {
  EscpFormLength form;
  std::optional<long> spacing;
  size_t pos = 0;
  while (pos + 1 < bytes.size()) {
    if (bytes[pos] != kEsc) {
      ++pos;
      continue;
    }
    const char command = bytes[pos + 1];
    const long parameter = Byte(bytes, pos + 2);
    pos += 2;
    if (command == '0' || command == '2') {
      spacing = command == '0' ? 45 : 60;
    } else if (command == '3' || command == 'A' || command == '+') {
      spacing = parameter * (command == '3' ? 2 : command == 'A' ? 6 : 1);
      ++pos;
    } else if (command == 'C' && parameter == 0) {
      form = {true, Byte(bytes, pos + 1) * 360};
      pos += 2;
    } else if (command == 'C') {
      form = {true, spacing ? std::optional<long>(parameter * *spacing) : std::nullopt};
      ++pos;
    }
  }
  return form;
}

long EscpFormLengthTolerance(long length) { return (length + kMaxSpacing - 1) / kMaxSpacing / 2; }
