#include "devserver/procedures/output_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "devserver/files/dictionary.h"
#include "devserver/files/file_records.h"
#include "devserver/net/document_store.h"
#include "devserver/procedures/paged_document.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

bool IsWorkstation(const std::string& name) {
    return name.empty() || name == "CLIENT WORKSTATION" || name == "ZADIROVUZOVA";
}

RequestError Unwritable(const std::string& folder, const OutputDevice& device, int error) {
    return RequestError("Cannot print on " + device.name + ": the spool folder " + folder +
                        " cannot be written (" + std::strerror(error) + ").");
}

// Writes all of `text`; false (errno set) when the file would not take it.
bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

namespace {

// The record of the device named `name` exactly, or "".
std::string DeviceNamed(GlobalStore& store, const FileDef& devices, const std::string& name) {
    const GlobalRef byName = devices.root.Child("B").Child(name.substr(0, kIndexValueLength));
    for (std::string at = store.Order(byName.Child("")); !at.empty();
         at = store.Order(byName.Child(at))) {
        if (GetFieldValue(store, devices.root.Child(at), RequireField(devices, ".01")) == name)
            return at;
    }
    return {};
}

}  // namespace

OutputDevice ResolveOutputDevice(GlobalStore& store, const Dictionary& dict,
                                 const std::string& iop) {
    const FileDef& devices = RequireFile(dict, "3.5");
    std::string name = Piece(iop, ';', 1);
    std::string ien;
    if (name.size() > 1 && name[0] == '`') {
        // By its record: "`2", "`2;;68".
        ien = name.substr(1);
        if (!IsRecordNumberText(ien) || !store.Get(devices.root.Child(ien).Child("0")).has_value())
            throw RequestError("Device record " + ien + " does not exist.");
        name = GetFieldValue(store, devices.root.Child(ien), RequireField(devices, ".01"));
    } else {
        // A name may itself hold ";": the longest run of pieces that names a device exactly is
        // the device, and only what follows it is margin and page length. Taking the first
        // piece alone would print "LASER;2" on "LASER".
        for (std::size_t cut = iop.size();; cut = iop.rfind(';', cut - 1)) {
            const std::string candidate = iop.substr(0, cut);
            if (IsWorkstation(candidate)) return {};
            ien = DeviceNamed(store, devices, candidate);
            if (!ien.empty()) {
                name = candidate;
                break;
            }
            if (cut == 0 || iop.rfind(';', cut - 1) == std::string::npos) break;
        }
        if (ien.empty()) throw RequestError("Device \"" + name + "\" does not exist.");
    }
    const GlobalRef record = devices.root.Child(ien);
    auto value = [&](const char* field) {
        return GetFieldValue(store, record, RequireField(devices, field));
    };
    if (IsWorkstation(name)) return {};
    if (value("5") == "1") throw RequestError("Device \"" + name + "\" is out of service.");
    const std::string type = value("2");
    const FieldDef& subtype = RequireField(devices, "3");
    const std::string subtypeName = ExternalValue(store, dict, subtype, value("3"));
    if ((type != "HFS" && type != "TRM") || subtypeName.rfind("P-", 0) != 0)
        throw RequestError("Device \"" + name + "\" is not a printer.");
    return {false, ien, name};
}

std::string SpoolFileName(const OutputDevice& device) {
    std::string name;
    for (char c : device.ien + "-" + device.name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return name + ".prn";
}

void PrintOnServer(const std::string& folder, std::mutex& lock, const OutputDevice& device,
                   const std::vector<std::string>& lines, std::size_t cap) {
    std::error_code made;
    // Printed documents are other users' records: a folder the server makes is its own only.
    if (std::filesystem::create_directories(folder, made) && !made)
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, made);
    if (made) throw Unwritable(folder, device, made.value());
    const std::string path = (std::filesystem::path(folder) / SpoolFileName(device)).string();

    const std::lock_guard hold(lock);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) throw Unwritable(folder, device, errno);
    struct stat before {};
    // A file left readable by an older server is closed to others before it gets more.
    if (::fstat(fd, &before) != 0 || ((before.st_mode & 077) && ::fchmod(fd, 0600) != 0)) {
        const int error = errno;
        ::close(fd);
        throw Unwritable(folder, device, error);
    }
    std::string text = before.st_size > 0 ? std::string(kPageBreak) + "\n" : std::string();
    for (const std::string& line : lines)
        text += line + "\n";
    const auto held = static_cast<std::size_t>(before.st_size);
    if (held + text.size() > cap) {
        ::close(fd);
        throw RequestError("Cannot print on " + device.name + ": its spool file " + path +
                           " would grow past its cap of " + ByteSizeText(cap) + " (it holds " +
                           ByteSizeText(held) + ", the document takes " +
                           ByteSizeText(text.size()) + "). Nothing was printed.");
    }
    if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
        const int error = errno;
        // What did get written is no document: leave the file as it was.
        if (::ftruncate(fd, before.st_size) == 0) ::fsync(fd);
        ::close(fd);
        throw Unwritable(folder, device, error);
    }
    ::close(fd);  // after fsync the document is on disk whatever close says
}

}  // namespace vorn::devserver
