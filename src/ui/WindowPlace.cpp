// SPDX-License-Identifier: MIT
#include "WindowPlace.h"

#include <QEvent>
#include <QWidget>
#include <system_error>

#include "files/IniFile.h"

namespace {

constexpr const char* kSection = "MORVAT.Ex";

// The window's place lives in the same file as the folders, chosen by the same rule.
std::optional<std::string> ReadValue(const SettingsStore& store, const std::string& key) {
    const morvat::IniReadResult read = morvat::ReadIniFile(store.file().Location());
    if (read.status != morvat::FileStatus::Ok) return std::nullopt;
    return read.file.Get(kSection, key);
}

// Written where it will be read from, keeping everything else in the file. A file that
// cannot be read is not ours to replace.
bool WriteValue(const SettingsStore& store, const std::string& key, const std::string& value) {
    using Status = morvat::FileStatus;
    const std::filesystem::path location = store.file().Location();
    morvat::IniReadResult read = morvat::ReadIniFile(location);
    if (read.status == Status::Unreadable || read.status == Status::TooLarge) return false;
    morvat::IniFile file = read.status == Status::Ok ? read.file : morvat::IniFile{};
    file.Set(kSection, key, value);
    std::error_code ignored;
    std::filesystem::create_directories(location.parent_path(), ignored);
    return morvat::WriteIniFile(location, file).ok();
}

}  // namespace

WindowPlace::WindowPlace(QWidget& window, SettingsStore store, QString key)
    : QObject(&window), window_(window), store_(std::move(store)), key_(std::move(key)) {
    if (const auto saved = ReadValue(store_, key_.toStdString())) {
        // A damaged value is ignored: the window keeps its built-in size.
        window_.restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(*saved)));
    }
    window_.installEventFilter(this);
}

bool WindowPlace::Save() const {
    if (!shown_) return true;
    return WriteValue(store_, key_.toStdString(), window_.saveGeometry().toBase64().toStdString());
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Show) shown_ = true;
    return QObject::eventFilter(watched, event);
}
