// The Navigation log as a list of lines. The main window's text area only shows it; every
// writer of the log goes through these operations, and the fixed insertion positions count
// these lines, never the lines a wrapping display shows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace aerolinker {

using LogLine = std::string;

constexpr const char* kCrLf = "\r\n";

class LogDocument {
public:
    // Called after every change, so that a view can refresh itself.
    using ChangeListener = std::function<void()>;

    // The text becomes the last line; CR LF, CR or LF inside it make several lines.
    void Append(const std::string& text);
    // The text becomes line `position` (several lines if it holds line breaks) and the lines
    // from there on move down; `position` equal to the line count appends. A position past
    // the end, or a negative one, changes nothing.
    void InsertAt(int position, const std::string& text);
    // Removes one line; an index outside the document changes nothing.
    void Delete(int index);
    void Clear();
    // Replaces the document by the lines of a text; a line break that ends the text does not
    // open a further line.
    void Load(const std::string& text);

    int LineCount() const { return static_cast<int>(lines_.size()); }
    const LogLine& Line(int index) const { return lines_.at(static_cast<size_t>(index)); }
    const std::vector<LogLine>& Lines() const { return lines_; }
    // Every line followed by CR LF.
    std::string Text() const;

    void SetChangeListener(ChangeListener listener) { listener_ = std::move(listener); }
    // Counts the changes: a text saved at one revision is unsaved once the revision moves on.
    std::uint64_t Revision() const { return revision_; }

private:
    static std::vector<LogLine> SplitLines(const std::string& text);
    void Changed();

    std::vector<LogLine> lines_;
    ChangeListener listener_;
    std::uint64_t revision_ = 0;
};

}  // namespace aerolinker
