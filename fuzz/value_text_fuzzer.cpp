// Fuzzes the rendering of registry values as text, and the port name made from that text.
// The input's first byte picks the value type, the rest is the stored data. Checks: values
// over 256 bytes refused; a rendered text always terminated within the text buffer; a port
// name always "USB" and at least three decimal digits.
#include "fuzz/fuzz_input.h"
#include "platform/wide_text.h"
#include "ports/port_number.h"
#include "ports/value_text.h"

const DWORD kTypes[] = {REG_SZ, REG_DWORD, REG_BINARY, REG_MULTI_SZ, 11};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 1 + kValueTextBytes * 2) return 0;
  const DWORD type = kTypes[data[0] % (sizeof(kTypes) / sizeof(kTypes[0]))];
  const auto stored = static_cast<DWORD>(size - 1);

  WCHAR text[kValueTextWidth];
  for (WCHAR& unit : text) unit = u'z';
  const int rendered = RenderValueText(type, data + 1, stored, text);
  if (stored > kValueTextBytes) Require(rendered == 0);
  if (rendered == 0) return 0;
  std::size_t length = 0;
  while (length < kValueTextWidth && text[length] != 0) ++length;
  Require(length < kValueTextWidth);

  PortNameText port;
  Require(port.Assign(u"untouched"));
  if (FormatUsbPortName(text, port) == 0) {
    Require(port == u"untouched");
    return 0;
  }
  const WCHAR* name = port.c_str();
  Require(port.size() >= 6 && WideStartsWith(name, u"USB"));
  for (std::size_t i = 3; i < port.size(); ++i) Require(name[i] >= u'0' && name[i] <= u'9');
  Require(name[port.size()] == 0);
  return 0;
}
