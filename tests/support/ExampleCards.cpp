// SPDX-License-Identifier: MIT
#include "ExampleCards.h"

#include "files/ShiftJis.h"

namespace morvat::test {
namespace {

// Texts of the game are Shift-JIS with their NUL.
WidText Sj(std::string_view utf8) {
    return Sz(Utf8ToShiftJis(utf8));
}

WidContent Named(std::uint8_t kind, std::string_view name, std::vector<WidContent> children = {}) {
    WidContent c;
    c.kind = kind;
    c.name = Sj(name);
    c.children = std::move(children);
    return c;
}

// A message content (kind 1) with its text.
WidContent Message(std::string_view text) {
    WidContent c = Named(1, "メッセージ");
    c.texts = {Sj(text)};
    return c;
}

// The event a skill runs when used: a start with a message, a sound and a step change.
WidEvent UseEvent(std::string_view message) {
    WidContent sound = Named(7, "効果音");
    sound.texts = {Sz("se_magic.wav")};
    WidContent step = Named(18, "ステップ");
    WidContent wait = Named(2, "ウェイト");
    return WidEvent{{Named(0, "スタート", {Message(message), sound, wait, step})}, std::nullopt};
}

WidCardPlan Common(std::string_view name, std::string_view description, std::int32_t level) {
    WidCardPlan c;
    c.firstBlock = Sz("skill.bmp");
    c.name = Sj(name);
    c.secondBlock = Sj(description);
    c.level = level;
    c.thirdBlock = Sz("se_use.wav");
    c.fourthBlock = Sz("");
    c.keyCodes = {Sz(""), Sz(""), Sz(""), Sz(""), Sz("")};
    c.fifthBlock = Sz("");
    c.sixthBlock = Sz("");
    return c;
}

ExampleCard FireBolt() {
    WidCardPlan c = Common("火炎弾", "炎の弾を放ち、敵一体を焼く。", 5);
    c.voice = 1;
    c.target = 3;  // enemies
    c.targetAll = 0;
    c.attribute = 1;  // magic
    c.defence = 0;
    c.success = 1;
    c.motions.motions = {ValueMotion(0x40800, 5, 1, 0, 10)};  // fire damage, level-based
    c.escape = 2;
    c.keyCodes = {Sj("遠距離攻撃"), Sj("攻撃"), Sj("炎"), Sz(""), Sz("")};
    c.events.events = {UseEvent("炎の弾が飛んだ！")};
    return {"SkillFireBolt.wid", c};
}

ExampleCard SleepMist() {
    WidCardPlan c = Common("眠りの霧", "甘い香りの霧で敵全体を眠らせる。", 4);
    c.voice = 1;
    c.target = 3;
    c.targetAll = 1;
    c.attribute = 1;
    c.defence = 1;                                         // resisted, not avoided
    c.motions.motions = {RoundsMotion(0x40803, 2, 0, 5)};  // sleep for 5 rounds
    c.defuse = -2;
    c.keyCodes = {Sj("睡眠"), Sj("精神"), Sz(""), Sz(""), Sz("")};
    c.events.events = {UseEvent("霧が立ち込めた。")};
    return {"SkillSleepMist.wid", c};
}

ExampleCard HealingLight() {
    WidCardPlan c = Common("癒しの光", "聖なる光で味方一体の傷を癒す。", 3);
    c.voice = 1;
    c.target = 2;  // allies
    c.targetAll = 0;
    c.attribute = 1;
    c.defence = 1;
    c.motions.motions = {
        ValueMotion(0x40800, 3, 0, 0, 8),  // holy healing, level-based
        ValueMotion(0x40801, 3, 3, 1, 1),  // cures poison
    };
    c.keyCodes = {Sj("回復"), Sj("神聖"), Sz(""), Sz(""), Sz("")};
    WidEvent event = UseEvent("やわらかな光が傷を包んだ。");
    WidContent branch = Named(16, "分岐");
    branch.texts = {Sj("負傷")};
    branch.children = {Message("傷が癒えた。"), Named(4, "終了")};
    event.trees[0].children.push_back(branch);
    c.events.events = {event};
    return {"SkillHealingLight.wid", c};
}

// A wave that strikes both sides and calls up a servant card of its own.
ExampleCard ChaosWave() {
    WidCardPlan c = Common("混沌の波", "敵味方を問わず混沌の波に呑み込む。", 7);
    c.voice = 0;
    c.target = 4;  // both sides
    c.targetAll = 1;
    c.attribute = 2;  // magical physical
    c.defence = 1;
    c.success = -1;
    WidEmbeddedCard servant;
    servant.lead = 1;
    servant.title = Sj("混沌の僕");
    servant.note = Sz("servant.bmp");
    servant.name = Sj("混沌の僕");
    servant.motions.motions = {ValueMotion(0x40800, 1, 1, 0, 5)};
    servant.texts = {Sj("混沌より生まれし僕。"), Sz(""), Sz(""), Sz(""), Sz(""), Sz(""), Sz("")};
    servant.moreTexts = {Sz(""), Sz("")};
    servant.events.events = {UseEvent("僕が現れた。")};
    c.motions.motions = {
        RoundsMotion(0x40803, 2, 1, 3),     // confusion for 3 rounds
        ValueMotion(0x40800, 4, 1, 1, 15),  // magic damage, fixed 15
        ChangeMotion(0, 1, -3, 2),          // avoidance down
        CardsMotion({servant}),
    };
    c.escape = -2;
    c.gard = 1;
    c.keyCodes = {Sj("混沌"), Sj("攻撃"), Sz(""), Sz(""), Sz("")};
    WidEvent event = UseEvent("混沌の波が全てを呑み込んだ。");
    WidContent effect = Named(11, "効果");
    effect.texts = {Sz("")};
    effect.motions.motions = {PlainMotion(0x40802, 0, 1)};
    event.trees[0].children.push_back(effect);
    c.events.events = {event};
    return {"SkillChaosWave.wid", c};
}

}  // namespace

std::vector<ExampleCard> ExampleCards() {
    return {FireBolt(), SleepMist(), HealingLight(), ChaosWave()};
}

}  // namespace morvat::test
