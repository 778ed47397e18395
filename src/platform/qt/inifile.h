// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// A settings file in the INI form that QSettings reads and writes, changed one value at a time:
// every other byte (other sections, comments, other programs' values) stays as it was. Values
// are read and written with QSettings' quoting and escapes, so that files written before and
// other tools still agree; only commas are never taken for a list.
class IniFile {
public:
    explicit IniFile(const QByteArray &bytes = QByteArray());

    // False for bytes that are no INI file: such a file must not be rewritten.
    bool parsed() const { return parsed_; }
    const QByteArray &bytes() const { return bytes_; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    // Changes the key's line, or adds it to its section, or adds the section at the end.
    void setValue(const QString &section, const QString &key, const QString &value);

private:
    struct Entry {
        QByteArray section, key;
        qsizetype valueStart, valueEnd;
    };
    struct Section {
        QByteArray name;
        qsizetype end; // after its last key line, where a new key goes
    };
    void parse();

    QByteArray bytes_;
    bool parsed_ = true;
    std::vector<Entry> entries_;
    std::vector<Section> sections_;
};

// A value as QSettings stores a string, and back.
QByteArray iniEscaped(const QString &value);
QString iniUnescaped(QByteArrayView raw);
