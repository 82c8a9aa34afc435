// SPDX-License-Identifier: MIT
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

using P = EffectParams;
using S = EffectSide;

constexpr std::array<EffectKindInfo, 31> kCatalogue{{
    {1, "生命力－回復", 0, "SpeedButton2", "回復", 1, P::Value, 1, S::Ally},
    {2, "生命力－ダメージ", 0, "SpeedButton3", "ダメージ", 0, P::Value, 1, S::Enemy},
    {3, "生命力－吸収", 0, "SpeedButton4", "吸収", 0, P::Value, 1, S::Enemy},
    {4, "肉体－麻痺状態", 1, "SpeedButton18", "麻痺", 1, P::Value, 1, S::Enemy},
    {5, "肉体－麻痺解除", 1, "SpeedButton10", "麻痺解除", 1, P::Value, 1, S::Ally},
    {6, "肉体－中毒状態", 1, "SpeedButton28", "中毒", 1, P::Value, 1, S::Enemy},
    {7, "肉体－中毒解除", 1, "SpeedButton30", "中毒解除", 1, P::Value, 1, S::Ally},
    {8, "精神力－回復", 2, "SpeedButton19", "技能回数回復", 0, P::None, 1, S::Ally},
    {9, "精神力－不能", 2, "SpeedButton11", "技能回数無化", 0, P::None, 1, S::Enemy},
    {10, "精神－睡眠状態", 3, "SpeedButton6", "眠り", 2, P::Rounds, 10, S::Enemy},
    {11, "精神－混乱状態", 3, "SpeedButton24", "混乱", 2, P::Rounds, 10, S::Enemy},
    {12, "精神－激昂状態", 3, "SpeedButton29", "激昂", 2, P::Rounds, 10, S::Enemy},
    {13, "精神－勇敢状態", 3, "SpeedButton31", "勇敢", 2, P::Rounds, 10, S::Ally},
    {14, "精神－恐慌状態", 3, "SpeedButton38", "恐慌", 2, P::Rounds, 10, S::Enemy},
    {15, "精神－正常状態", 3, "SpeedButton39", "精神正常", 2, P::None, 10, S::Ally},
    {16, "魔法－束縛状態", 4, "SpeedButton20", "束縛", 0, P::Rounds, 10, S::Enemy},
    {17, "魔法－束縛解除", 4, "SpeedButton25", "束縛解除", 0, P::None, 10, S::Ally},
    {18, "魔法－沈黙状態", 4, "SpeedButton7", "沈黙", 0, P::Rounds, 10, S::Enemy},
    {19, "魔法－沈黙解除", 4, "SpeedButton32", "沈黙解除", 0, P::None, 10, S::Ally},
    {20, "魔法－暴露状態", 4, "SpeedButton34", "暴露", 0, P::Rounds, 10, S::Enemy},
    {21, "魔法－暴露解除", 4, "SpeedButton35", "暴露解除", 0, P::None, 10, S::Ally},
    {22, "魔法－無効化状態", 4, "SpeedButton36", "魔法無効化", 0, P::Rounds, 10, S::Ally},
    {23, "魔法－無効化解除", 4, "SpeedButton37", "無効化解除", 0, P::None, 10, S::Ally},
    {24, "能力－行動力変化", 5, "SpeedButton21", "行動力変化", 0, P::Change, 10, S::ByChange},
    {25, "能力－回避力変化", 5, "SpeedButton26", "回避力変化", 0, P::Change, 10, S::ByChange},
    {26, "能力－抵抗力変化", 5, "SpeedButton8", "抵抗力変化", 0, P::Change, 10, S::ByChange},
    {27, "能力－防御力変化", 5, "SpeedButton33", "防御力変化", 0, P::Change, 10, S::ByChange},
    {28, "消滅－対象消去", 6, "SpeedButton22", "対象消去", 0, P::None, 10, S::Enemy},
    {29, "消滅－召喚獣消去", 6, "SpeedButton9", "召喚獣消去", 0, P::None, 10, S::Enemy},
    {30, "配布－混乱", 7, "SpeedButton23", "混乱配布", 2, P::None, 10, S::Enemy},
    {31, "配布－特殊技能", 7, "SpeedButton27", "技能配布", 0, P::None, 10, S::Ally},
}};

}  // namespace

std::span<const EffectKindInfo> EffectCatalogue() { return kCatalogue; }

const EffectKindInfo* FindEffectKind(int kind) {
    if (kind < kFirstEffectKind || kind > kLastEffectKind) return nullptr;
    return &kCatalogue[static_cast<std::size_t>(kind - kFirstEffectKind)];
}

}  // namespace morvat
