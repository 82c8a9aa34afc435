// SPDX-License-Identifier: MIT
#include "WindowPlace.h"

#include <QEvent>
#include <QWidget>
#include <system_error>

#include "files/IniFile.h"

namespace {

constexpr const char* kSection = "MORVAT.Ex";

// The file the folders are read from: the fallback copy when there is one.
std::optional<std::string> ReadValue(const SettingsStore& store, const std::string& key) {
    using Status = morvat::IniReadResult::Status;
    morvat::IniReadResult read = morvat::ReadIniFile(store.fallback());
    if (read.status != Status::Read) read = morvat::ReadIniFile(store.besideProgram());
    if (read.status != Status::Read) return std::nullopt;
    return read.file.Get(kSection, key);
}

// Written where it will be read from, keeping everything else in the file.
bool WriteValue(const SettingsStore& store, const std::string& key, const std::string& value) {
    using Status = morvat::IniReadResult::Status;
    morvat::IniReadResult fallback = morvat::ReadIniFile(store.fallback());
    if (fallback.status == Status::Read) {
        fallback.file.Set(kSection, key, value);
        return morvat::WriteIniFile(store.fallback(), fallback.file);
    }
    morvat::IniReadResult beside = morvat::ReadIniFile(store.besideProgram());
    if (beside.status != Status::Unreadable) {
        morvat::IniFile file = beside.status == Status::Read ? beside.file : morvat::IniFile{};
        file.Set(kSection, key, value);
        if (morvat::WriteIniFile(store.besideProgram(), file)) return true;
    }
    // A file we cannot read is not ours to replace, and must not hide what we write.
    if (fallback.status == Status::Unreadable) return false;
    morvat::IniFile file = beside.status == Status::Read ? beside.file : morvat::IniFile{};
    file.Set(kSection, key, value);
    std::error_code ignored;
    std::filesystem::create_directories(store.fallback().parent_path(), ignored);
    return morvat::WriteIniFile(store.fallback(), file);
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
