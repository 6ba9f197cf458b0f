#include "docs/disk_watch.h"

namespace {

enum class Comparison { Same, Missing, Different };

// The identity of the file whose stamp is in current. An empty file's
// bytes are known without reading them: a program that has just emptied
// the file may still hold it open to itself.
bool ReadEmptyOrWholeIdentity(const std::u16string& path, FileIdentity& current) {
    if (current.stamp.size != 0)
        return ReadFileIdentity(path, current);
    current.hash = HashBytes({});
    current.known = true;
    return true;
}

// The file compared with the identity the document knows. A stamp that
// moved over the same bytes is taken; on Different, current is the file's
// identity, or not known when it could not be read.
Comparison CompareWithKnown(Document& document, FileIdentity& current) {
    current = {};
    if (document.path.empty() || !document.disk.known)
        return Comparison::Same;
    if (!ReadFileStamp(document.path, current.stamp))
        return Comparison::Missing;
    if (current.stamp == document.disk.stamp)
        return Comparison::Same;
    if (document.declined.known && current.stamp == document.declined.stamp) {
        current = document.declined;
        return Comparison::Different;
    }
    if (!ReadEmptyOrWholeIdentity(document.path, current))
        return Comparison::Different;
    if (current.hash != document.disk.hash || current.stamp.size != document.disk.stamp.size)
        return Comparison::Different;
    document.disk.stamp = current.stamp;
    document.declined = {};
    return Comparison::Same;
}

} // namespace

DiskChange FindDiskChange(Document& document, FileIdentity& current) {
    const Comparison comparison = CompareWithKnown(document, current);
    if (comparison == Comparison::Missing)
        return document.missingReported ? DiskChange::None : DiskChange::Missing;
    document.missingReported = false;
    if (comparison == Comparison::Same || !current.known)
        return DiskChange::None;
    if (document.declined.known && current.hash == document.declined.hash &&
        current.stamp.size == document.declined.stamp.size) {
        document.declined.stamp = current.stamp;
        return DiskChange::None;
    }
    return DiskChange::Changed;
}

bool SaveWouldReplaceChanges(Document& document, FileIdentity& current) {
    return CompareWithKnown(document, current) == Comparison::Different;
}

bool FileStillAsAsked(const Document& document, FileIdentity& asked) {
    FileIdentity now;
    if (!ReadFileStamp(document.path, now.stamp))
        return true;
    now.known = ReadEmptyOrWholeIdentity(document.path, now);
    if (now.known == asked.known &&
        (!now.known || (now.hash == asked.hash && now.stamp.size == asked.stamp.size)))
        return true;
    asked = now;
    return false;
}
