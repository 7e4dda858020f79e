// Where a printed document goes, by the IOP the client sends ("device;margin;page length").
// Its first piece "CLIENT WORKSTATION" (or the workstation's other name "ZADIROVUZOVA", which
// the client also pages itself), or nothing, keeps the document for the client to page in;
// anything else must name a printer of the DEVICE file (3.5), by its whole name (which may hold
// ";") or by its record ("`2"): in service, of type HFS or TRM,
// with a subtype whose name begins "P-" (the same devices the client's device dialog offers).
// The server prints on such a device by appending the document to the device's file in the
// spool folder. The other pieces of IOP are accepted and not used: pages are always 60 lines.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "devserver/storage/global_store.h"

namespace vorn::devserver {

class Dictionary;

struct OutputDevice {
    bool workstation = true;
    std::string ien;   // of the device record, for a server printer
    std::string name;  // its .01
};

// The device the IOP names. Throws RequestError: a device that does not exist, is out of
// service or is no printer.
OutputDevice ResolveOutputDevice(GlobalStore& store, const Dictionary& dict,
                                 const std::string& iop);

// The device's spool file in `folder`: "2-LASER_PRINTER_1.prn" (the record number keeps two
// names that differ only in punctuation apart).
std::string SpoolFileName(const OutputDevice& device);

// Appends the document to the device's spool file, after a form feed when the file holds
// earlier documents, and flushes it to disk. Either all of it is there or none of it: a write
// that fails is cut off again. The file is the server's user's alone (mode 0600), and it never
// grows past `cap` bytes: a document that would take it further is refused whole. Throws
// RequestError saying that the folder cannot be written or that the cap is reached.
// `lock` serialises the sessions printing at once.
void PrintOnServer(const std::string& folder, std::mutex& lock, const OutputDevice& device,
                   const std::vector<std::string>& lines, std::size_t cap);

}  // namespace vorn::devserver
