// Where a document goes: the destinations of the device dialog, the words that name them on
// the way to the print component, and the server's name for the output device (IOP) each
// word stands for.
#pragma once

#include <QString>

#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

// Screen, printer, file, server printer and word processor: everything but the spreadsheet.
inline constexpr TvornPrintDevices kDefaultPrintDevices =
    TvornPrintDevices(pdScreen | pdPrinter | pdFile | pdServerPrinter | pdWordProcessor);

// How many destinations `devices` holds.
int CountDevices(TvornPrintDevices devices);

// The device words. The Finnish ones are taken wherever the English ones are.
namespace words {
inline const QString kScreen = QStringLiteral("onscreen");
inline const QString kScreenFi = QStringLiteral("näyttö");
inline const QString kPrinter = QStringLiteral("printer");
inline const QString kPrinterFi = QStringLiteral("kirjoitin");
inline const QString kFile = QStringLiteral("file");
inline const QString kFileFi = QStringLiteral("tiedosto");
inline const QString kExcel = QStringLiteral("excelfile");
inline const QString kExcelFi = QStringLiteral("exceltiedosto");
inline const QString kWord = QStringLiteral("wordfile");
inline const QString kServer = QStringLiteral("KernelDevice");
}  // namespace words

// The server's names of the workstation as an output device.
inline const QString kClientWorkstation = QStringLiteral("CLIENT WORKSTATION");
inline const QString kZadirovuzova = QStringLiteral("ZADIROVUZOVA");
// The workstation's printer: the workstation with a right margin of 68.
inline const QString kWorkstationPrinterIop = QStringLiteral("CLIENT WORKSTATION;;68");

// What a destination chosen beforehand stands for.
struct DeviceDefaults {
    QString device;
    QString iop;
    bool saveDial = false;
    bool printDial = false;
};
DeviceDefaults DefaultsFor(TvornPrintDevice device);

// The IOP of a device word: the workstation for the screen, file, spreadsheet and word
// processor, the workstation's printer for the printer, `serverDevice` (the device the user
// picked) for "KernelDevice", and empty for any other word.
QString IopOfDevice(const QString& device, const QString& serverDevice);

// Whether the first ";" piece of `iop` is the workstation, which pages the document in itself;
// any other IOP is a device of the server, which printed the document already.
bool IsWorkstationIop(const QString& iop);

bool IsScreenWord(const QString& device);
bool IsPrinterWord(const QString& device);
bool IsFileWord(const QString& device);
bool IsExcelWord(const QString& device);

}  // namespace vorn

#pragma GCC visibility pop
