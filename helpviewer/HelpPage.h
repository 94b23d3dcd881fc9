#pragma once
// Help pages are laid out on the UI thread, and the text layout's time grows with the page's
// size, its number of elements and above all its nesting (each level of nested tables doubles
// it). A page from a help file is therefore cut down to bounds well above any real help page
// before it is shown, so that no page can hold up the count.

#include <QString>

// How much of a page is shown at most.
struct HelpPageLimits {
    qsizetype maxSource = 1024 * 1024; // the part of the page read at all
    qsizetype maxChars = 256 * 1024;   // the page as it is handed on
    // The layout's work, counted in characters of text: each character of the page is one,
    // each element and each table cell a number more, and everything inside a table counts
    // twice for each table around it. The page ends where the work would exceed the limit.
    qsizetype maxWork = 32 * 1024;
    qsizetype elementWork = 40;
    qsizetype cellWork = 80;
    qsizetype wideCharWork = 8; // a character beyond the Latin scripts
    int maxWordLength = 64;     // characters without a place to break the line
    int maxElements = 5000;     // tags of the page; the page ends at the one beyond
    int maxDepth = 24;          // elements open at the same time
    int maxTableDepth = 2;      // tables inside tables
    int maxSpan = 64;           // a cell's colspan and rowspan
    int maxImageSide = 4096;    // width and height asked of a picture
};

// The page with every tag written out whole (attribute values quoted), each element that an
// opening tag closes implicitly closed explicitly, and whatever is beyond the limits left out:
// tags nested too deeply (their text stays), comments, the content of scripts, the rest of a
// page too long, too much work or with too many elements; spans and picture sizes too large are
// cut down; words too long get invisible places to break; a link to a style sheet that a
// browser would apply is marked as CSS, and no other link is. A well-formed page within the
// limits, without comments, whose style sheet links name their type last, comes back as it was.
QString boundedHelpPage(const QString& html, const HelpPageLimits& limits = {});

// A style sheet cut to the page's size limit.
QString boundedHelpStyleSheet(const QString& css, const HelpPageLimits& limits = {});
