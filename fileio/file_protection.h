// The protection a save gives the copies it makes of a file: the temporary
// file that will take its place and the backup of its old bytes. They hold
// the file's text, so no one may read them who may not read the file.
#pragma once

#include <windows.h>

#include <vector>

class CopyProtection {
  public:
    // The file's access list, made the copy's own (not inherited from the
    // folder the copy lands in), without any right to run the copy: a text
    // needs none, and Wine would turn one into execute bits. Without an
    // access list that can be read, a copy gets its folder's protection.
    explicit CopyProtection(HANDLE file);
    CopyProtection(const CopyProtection&) = delete;
    CopyProtection& operator=(const CopyProtection&) = delete;

    // For CreateFileW; null when the file's protection could not be read.
    SECURITY_ATTRIBUTES* Attributes() { return valid_ ? &attributes_ : nullptr; }

  private:
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool valid_ = false;
};
