// The names learners' files are made of, and the name this computer's workstation file has.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ks {

// The guest: the learner of an empty login name. Its file has a name of its own, so that it can
// never be mistaken for a learner called Visitor.
inline constexpr std::string_view kGuestName = "Visitor%%";
inline constexpr std::string_view kGuestFileBase = "visitor%%";
bool IsGuestName(std::string_view name);

// The base of a learner's file names: the name cut at blanks, "." and "," and joined with
// single blanks, only letters of the language's alphabet (message 12), digits, "-" and blanks
// kept, then title-cased. It can hold neither "/" nor ".".
std::string CleanUserName(std::string_view name);
// The file base of a login name: the guest's own, or the cleaned name.
std::string UserFileBase(std::string_view name);

// A name from outside (host, remote client, command line) made fit to be a file name: letters,
// digits, "-" and "_" stay, every other character becomes "_".
std::string SafeFileName(std::string_view name);

// The name of this workstation: $KEYSCHOLAR_WORKSTATION when set, else the remote-desktop
// client ($CLIENTNAME) in a remote session, else the host name up to its first "." in upper
// case. Made safe as a file name; empty when nothing can be read.
std::string WorkstationName();

// The typed-text file of a result: data path, file base, ".TT" and the result number.
std::filesystem::path TypedTextPath(const std::filesystem::path& dataPath,
                                    std::string_view fileBase, int number);

}  // namespace ks
