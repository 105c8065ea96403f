// Numbers written into and read back from the recorder's files. They always use "." and no
// grouping, whatever the pilot's regional settings: CSV, KML, GPX and SVG readers expect it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace aerolinker {

// `decimals` places, "-0" written as "0". A value that is not finite is written as 0: the
// files must stay readable even if the simulator hands over garbage.
std::string FixedText(double value, int decimals);
// The same, appended to `text`: for files of many figures, without a text for each.
void AppendFixed(std::string& text, double value, int decimals);

// Writes a line of figures into a buffer of its own, handed on to `text` when it fills up and
// at the end: a trace row or a map point is a dozen figures and separators, and appending each
// to the text on its own cost more than making it. Exactly what the same appends to `text`
// would give.
class FigureWriter {
public:
    explicit FigureWriter(std::string& text) : text_(text) {}
    ~FigureWriter() { Flush(); }
    FigureWriter(const FigureWriter&) = delete;
    FigureWriter& operator=(const FigureWriter&) = delete;

    void Char(char c) {
        if (at_ == buffer_ + kRoom) {
            Flush();
        }
        *at_++ = c;
    }
    void Text(std::string_view text);
    // AppendFixed's text.
    void Fixed(double value, int decimals);
    // Room for `size` bytes written at Place(), then Advance(size).
    char* Place(std::size_t size);
    void Advance(std::size_t size) { at_ += size; }
    // Hands the buffer on to the text.
    void Flush() {
        text_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
        at_ = buffer_;
    }

private:
    static constexpr std::size_t kRoom = 256;
    std::string& text_;
    char buffer_[kRoom];
    char* at_ = buffer_;
};

// The shortest text that reads back as the same value ("1", "0.5", "16").
std::string ShortestText(double value);

// The whole text must be a number; no spaces, no "+".
bool ParseNumber(std::string_view text, double& value);
bool ParseInteger(std::string_view text, long long& value);

}  // namespace aerolinker
