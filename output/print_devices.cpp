#include "output/print_devices.h"

namespace vorn {

int CountDevices(TvornPrintDevices devices) {
    int count = 0;
    for (TvornPrintDevice d :
         {pdScreen, pdPrinter, pdFile, pdExcel, pdServerPrinter, pdWordProcessor})
        count += devices.testFlag(d) ? 1 : 0;
    return count;
}

DeviceDefaults DefaultsFor(TvornPrintDevice device) {
    switch (device) {
        case pdScreen:
            return {words::kScreen, kClientWorkstation, false, false};
        case pdPrinter:
            return {words::kPrinter, kClientWorkstation, false, true};
        case pdFile:
            return {words::kFile, kClientWorkstation, true, false};
        case pdExcel:
            return {words::kExcel, kClientWorkstation, false, false};
        case pdServerPrinter:
            return {words::kServer, QString(), false, false};
        case pdWordProcessor:
            return {words::kWord, kClientWorkstation, false, false};
    }
    return {};
}

bool IsScreenWord(const QString& device) {
    return device == words::kScreen || device == words::kScreenFi;
}
bool IsPrinterWord(const QString& device) {
    return device == words::kPrinter || device == words::kPrinterFi;
}
bool IsFileWord(const QString& device) {
    return device == words::kFile || device == words::kFileFi;
}
bool IsExcelWord(const QString& device) {
    return device == words::kExcel || device == words::kExcelFi;
}

QString IopOfDevice(const QString& device, const QString& serverDevice) {
    if (IsScreenWord(device) || IsFileWord(device) || IsExcelWord(device) || device == words::kWord)
        return kClientWorkstation;
    if (IsPrinterWord(device)) return kWorkstationPrinterIop;
    if (device == words::kServer) return serverDevice;
    return QString();
}

bool IsWorkstationIop(const QString& iop) {
    const QString first = iop.section(u';', 0, 0);
    return first == kClientWorkstation || first == kZadirovuzova;
}

}  // namespace vorn
