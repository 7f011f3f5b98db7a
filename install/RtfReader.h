#pragma once
// Reads the part of the Rich Text Format that the program's own licence
// uses: paragraphs and line breaks, bold, italic, font size, tabs, the
// code-page escapes (\'hh in the document's ANSI code page: 1252, or
// 65001 for UTF-8) and \uN characters, with the usual symbol words. Table
// cells become tabs and rows paragraphs; pictures, colours, fonts and every
// other destination are skipped with their groups. Input that does not start with "{\rtf" is plain text, one
// paragraph per line, as the platform's rich edit shows such a file.
//
// A pure function of its bytes: never throws, never recurses, and reads any
// input (unbalanced braces, huge numbers, deep nesting) in time linear in
// its length.

#include <string>
#include <string_view>
#include <vector>

struct RichTextRun {
    std::string text;  // UTF-8
    bool bold = false;
    bool italic = false;
    int halfPoints = 24;  // the font size in half points (\fs); 12 pt unless set
    bool operator==(const RichTextRun&) const = default;
};

struct RichTextParagraph {
    std::vector<RichTextRun> runs;
    bool operator==(const RichTextParagraph&) const = default;
};

struct RichText {
    std::vector<RichTextParagraph> paragraphs;
    // The text without formatting, paragraphs joined by "\n".
    std::string PlainText() const;
};

RichText ReadRichText(std::string_view bytes);
