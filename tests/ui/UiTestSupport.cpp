// SPDX-License-Identifier: MIT
#include "UiTestSupport.h"

#include <ostream>

#include "QtPaths.h"

namespace morvat::test {

void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << message.kind.toStdString() << " \"" << message.text.toStdString() << "\" / \""
         << message.caption.toStdString() << "\"";
    if (!message.detail.isEmpty()) *out << " [" << message.detail.toStdString() << "]";
}

void FakeMessages::Warn(const QString& text, const QString& caption, const QString& detail) {
    shown.push_back({QStringLiteral("warn"), text, caption, detail});
}

void FakeMessages::Inform(const QString& text, const QString& caption) {
    shown.push_back({QStringLiteral("inform"), text, caption});
}

bool FakeMessages::AskOkCancel(const QString& text, const QString& caption) {
    shown.push_back({QStringLiteral("okcancel"), text, caption});
    return Answer();
}

bool FakeMessages::AskYesNo(const QString& text, const QString& caption) {
    shown.push_back({QStringLiteral("yesno"), text, caption});
    return Answer();
}

bool FakeMessages::Answer() {
    if (answers.empty()) {
        ADD_FAILURE() << "a question was asked that the test did not answer: "
                      << shown.back().text.toStdString();
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeMessages::OpenFileName(const QString& folder, const QList<FileFilter>& filters) {
    dialogFolder = folder;
    openFilters = filters;
    return openFileAnswer;
}

QString FakeMessages::SaveFileName(const QString& folder, const QString& description,
                                   const QString& patterns, const QString& defaultSuffix) {
    dialogFolder = folder;
    dialogDescription = description;
    dialogPatterns = patterns;
    dialogSuffix = defaultSuffix;
    return saveFileAnswer;
}

int FakePicker::exec() {
    shownIn.push_back(directory_);
    if (!browseTo.isEmpty()) directory_ = browseTo;
    return result;
}

Editor::Editor(const std::string& iniText) {
    if (!iniText.empty()) dir.write("morvat-ex.ini", iniText);
    form2 = std::make_unique<TForm2>(messages);
    form1 = std::make_unique<TForm1>(messages, SettingsStore(iniPath(), fallbackIniPath()));
    form1->SetResultWindow(form2.get());
    form1->SetCardPicker(&picker);
}

}  // namespace morvat::test
