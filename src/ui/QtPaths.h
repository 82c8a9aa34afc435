// SPDX-License-Identifier: MIT
// Paths between Qt's text and the core's file system paths, without losing bytes of names
// that are not valid in the user's encoding.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <string_view>

inline std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

inline QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
#endif
}

// Text that the core keeps as UTF-8 (captions, card names, report lines).
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
