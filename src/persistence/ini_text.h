// The layout rules of an INI file, as Windows' own INI service applies them: where a key stands
// in the file's text, and the text with one key changed. Pure functions of the file's bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace aerolinker {

// Section and key names match without regard to case (ASCII letters only; other bytes must be
// equal). Only the first section of a name counts, and in it the first line of a key; a later
// duplicate is never read nor written. Lines before the first section belong to no section.
// A line is a section header when it starts with "[" (after blanks) and holds a "]", the name
// lying between them; a comment when it starts with ";"; a key line when it holds "=";
// anything else is kept but means nothing.

// The key's value as the INI service hands it out: blanks around it dropped and one pair of
// enclosing quotes (single or double) removed. nullopt when the section or the key is missing;
// a present key with nothing after "=" gives the empty text.
std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key);

// The text with the key set to `value`. The key's line is rewritten in place (keeping the
// key's spelling in the file); a missing key gets a line after the last non-blank line of its
// section; a missing section is added at the end. Every other byte of the text stays as it
// was. Written lines end in CR LF; a line break inside `value` would split the line and could
// plant keys or sections, so CR and LF in the value become blanks.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace aerolinker
