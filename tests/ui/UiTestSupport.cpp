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

namespace {

void PutInt32(std::string& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((u >> shift) & 0xFF);
}

void PutByte(std::string& out, std::uint8_t value) {
    out += static_cast<char>(value);
}

void PutMotion(std::string& out, const CardMotion& m) {
    PutInt32(out, m.type);
    out += std::string(2, '\0');
    PutByte(out, m.element);
    PutByte(out, m.detail);
    switch (m.type) {
        case 0x40800:
        case 0x40801:
            PutByte(out, m.valueKind);
            PutInt32(out, m.value);
            break;
        case 0x40803:
        case 0x40804:
            PutInt32(out, m.rounds);
            break;
        case 0x40805:
            PutInt32(out, m.variation);
            PutInt32(out, m.rounds);
            break;
        default:
            break;
    }
}

}  // namespace

std::string CardBytes(const CardPlan& card) {
    std::string out;
    PutByte(out, 5);
    PutInt32(out, 0);  // first block
    if (card.name.empty()) {
        PutInt32(out, 0);
    } else {
        PutInt32(out, static_cast<std::int32_t>(card.name.size() + 1));
        out += card.name;
        out += '\0';
    }
    out += std::string(4, '\0');
    PutInt32(out, 0);  // second block
    out += std::string(8, '\0');
    PutByte(out, card.voice);
    PutByte(out, card.targetAll);
    PutByte(out, card.target);
    PutByte(out, card.attribute);
    PutByte(out, card.defence);
    PutInt32(out, card.success);
    PutByte(out, 0);
    PutInt32(out, static_cast<std::int32_t>(card.motions.size()));
    for (const CardMotion& motion : card.motions) PutMotion(out, motion);
    PutInt32(out, card.escape);
    PutInt32(out, card.defuse);
    PutInt32(out, card.gard);
    PutInt32(out, 0);  // third block
    PutInt32(out, 0);  // fourth block
    for (std::size_t i = 0; i < 5; ++i) {
        if (i < card.keyCodes.size()) {
            PutInt32(out, static_cast<std::int32_t>(card.keyCodes[i].size() + 1));
            out += card.keyCodes[i];
            out += '\0';
        } else {
            PutInt32(out, 0);
        }
    }
    PutByte(out, 0);
    PutInt32(out, 0);  // fifth block
    PutInt32(out, 0);  // sixth block
    PutInt32(out, 0);  // no events
    PutByte(out, 0);
    PutInt32(out, card.level);
    out += std::string(4, '\0');
    return out;
}

}  // namespace morvat::test
