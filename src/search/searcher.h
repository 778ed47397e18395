// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

// What to look for and how: the Replace dialog's fields, or Find's (a literal, any case).
struct SearchOptions {
    QString what;
    bool matchCase = false;
    bool wholeWord = false; // the match neither starts nor ends inside a word (isWordCharacter)
    bool regex = false;     // `what` is a regular expression (PCRE2 syntax)
    bool operator==(const SearchOptions &) const = default;
};

// A match: bytes [start, end) of the text.
struct ByteMatch {
    qint64 start = -1;
    qint64 end = -1;
    bool found() const { return start >= 0; }
    bool operator==(const ByteMatch &) const = default;
};

// A word character: a letter or a digit of any script, or "_". A kept byte (no UTF-8) is none.
bool isWordCharacter(char32_t c);

// The byte where the character after the one at `at` starts; "\r\n" counts as one character.
qint64 nextCharacterStart(QByteArrayView text, qint64 at);

// Searches the editor's UTF-8 (bytes that are no UTF-8 kept as they are, "\r\n" line breaks)
// where it lies: the whole text is handed over as one view, never decoded to UTF-16.
//
// A literal that must match its case is found with memmem; one that need not, and every
// regular expression, by PCRE2 in UTF mode with PCRE2_MATCH_INVALID_UTF (a kept byte is never
// part of a match of a character, and no match starts or ends inside one), caseless unless
// Match case is on, multiline with "\r\n", "\r" and "\n" as line ends, JIT-compiled where the
// library can.
class Searcher {
public:
    explicit Searcher(const SearchOptions &options);
    ~Searcher();
    Searcher(const Searcher &) = delete;
    Searcher &operator=(const Searcher &) = delete;

    // Empty when the search can run; otherwise why not (a regular expression that does not
    // compile, with the place where it fails).
    QString error() const { return error_; }
    bool usable() const { return error_.isEmpty() && !options_.what.isEmpty(); }
    const SearchOptions &options() const { return options_; }

    // The first match that starts at or after byte `from` (a character start) of `text`.
    ByteMatch next(QByteArrayView text, qint64 from) const;
    // The last match that starts before byte `before`, found by searching forward from a
    // stretch before it that grows until it holds one.
    ByteMatch previous(QByteArrayView text, qint64 before) const;
    // Group `n` of the last match that next() found: its bytes, or nothing when it did not take
    // part. Group 0 is the whole match.
    ByteMatch group(int n) const;

private:
    bool wordEdges(QByteArrayView text, qint64 start, qint64 end) const;
    SearchOptions options_;
    QByteArray needle_; // a literal matched with memmem
    QString error_;
    struct Pcre;
    std::unique_ptr<Pcre> pcre_;
    mutable ByteMatch last_;
};

// What "Replace with:" turns into for each match. Taken literally, unless it is a regular
// expression's: then "\0" is the whole match, "\1" .. "\9" its groups (nothing for a group that
// did not take part), "\n" the document's line break, "\t" a tab, "\\" a backslash; a
// backslash before any other character stands for itself.
class Replacement {
public:
    Replacement(const QString &with, bool regex, QByteArray lineBreak);
    // Appends the replacement of the match that `searcher` found last.
    void appendTo(QByteArray &out, QByteArrayView text, const Searcher &searcher) const;

private:
    struct Part {
        QByteArray bytes; // literal bytes, or
        int group = -1;   // a group
    };
    std::vector<Part> parts_;
};
