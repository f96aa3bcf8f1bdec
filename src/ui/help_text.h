// The user manual and the tips as files: where they are installed, how the
// manual's Markdown names its headings and links between its chapters, and
// how the tips file is divided into tips. The help and tip windows of the
// windowed program read the files through these; the manual's own tests
// check its links with them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// The manual's folder inside the data folder, its contents page and the
// tips file that lives beside the chapters.
std::string ManualDirectory(const std::string& dataDirectory);
std::string ManualIndexFile(const std::string& dataDirectory);
std::string TipsFile(const std::string& dataDirectory);

// The anchor a heading gets, the form links use after "#": lower case,
// every character but letters, digits, "-", "_" and blanks dropped, blanks
// turned into hyphens ("Keys F1 to F12" gives "keys-f1-to-f12").
std::string HeadingAnchor(std::string_view heading);

// The anchors of a chapter's headings, given their texts in order: a
// heading text that repeats gets "-1", "-2", ... after its anchor, as links
// must then write it.
std::vector<std::string> HeadingAnchors(const std::vector<std::string>& headings);

// The anchors of the headings ("#" to "######" lines outside fenced code)
// of a chapter's Markdown, in order.
std::vector<std::string> MarkdownAnchors(std::string_view markdown);

// A link of a chapter that leads elsewhere in the manual: `[text](target)`
// with a target that is not a web address. `file` is empty for a link to
// an anchor of the same chapter.
struct ManualLink {
  int line = 0;          // 1-based line of the chapter
  std::string file;      // "formats.md"
  std::string fragment;  // "dates-and-times"; empty: the top of the chapter
};

// The links of a chapter outside code spans and fenced code; web and mail
// addresses are left out.
std::vector<ManualLink> MarkdownLinks(std::string_view markdown);

// The tips of a tips file: tips are separated by blank lines, the lines of
// one tip are joined with single spaces, and lines starting with "#" are
// comments.
std::vector<std::string> ParseTips(std::string_view text);

}  // namespace tabulon
