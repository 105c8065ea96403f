// What the two platform transports share: the name they give the server and the texts that
// tell the pilot why no reply came. One wording for both platforms, so a pilot's report reads
// the same whichever program sent it.
#pragma once

#include <cstddef>
#include <string>

namespace aerolinker {

inline constexpr char kHttpUserAgent[] = "Aerolinker";

inline constexpr char kNoConnection[] = "could not connect to the server";
inline constexpr char kNameNotFound[] = "could not find the server's name";
inline constexpr char kCertificateRefused[] = "the server's certificate was refused";
inline constexpr char kNoSecureConnection[] = "could not make a secure connection to the server";
inline constexpr char kConnectionBroken[] = "the connection to the server broke off";
inline constexpr char kUnreadableReply[] = "the server's reply could not be read";
inline constexpr char kBadAddress[] = "the server's address is not an http or https address";
inline constexpr char kRequestFailed[] = "the request to the server failed";

// "no reply within 30 s" (or "... 1500 ms" for a time that is not whole seconds).
std::string NoReplyWithin(int milliseconds);
// "the server's reply was larger than 4194304 bytes"
std::string ReplyLargerThan(std::size_t bytes);

}  // namespace aerolinker
