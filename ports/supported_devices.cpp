#include "ports/supported_devices.h"

// Four vendors; the first makes five of the models. Product 10B4 is made by two vendors, so
// only the pair names a printer.
const SupportedDevice SupportedDeviceTable[kSupportedDeviceCount] = {
    {TEXT("D7A5"), TEXT("10A1")}, {TEXT("D7A5"), TEXT("10A2")}, {TEXT("D7A5"), TEXT("10B4")},
    {TEXT("D7A5"), TEXT("20C1")}, {TEXT("D7A5"), TEXT("20C2")}, {TEXT("E9C4"), TEXT("3F0E")},
    {TEXT("B3F1"), TEXT("10B4")}, {TEXT("C6E8"), TEXT("5D2A")},
};
