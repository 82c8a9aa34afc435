// SPDX-License-Identifier: MIT
// The report of the worked example that the rating and the command line are checked
// against: examples/damage-single.cws, or the editor set by hand to damage by
// level 10, success +1, voice, "魔法的物理属性", avoidance +2 on use and the key code "暗殺".
#pragma once

#include <string>
#include <vector>

namespace morvat::test {

inline const std::vector<std::string>& WorkedExampleReport() {
    static const std::string rule(67, '-');
    static const std::vector<std::string> lines = {
        "--1st フェーズ" + rule,
        "",
        "基本ダメージ(Lv比)： 1100 point  [<10>*(1+<10>*0.1)*55]",
        "",
        "　以上合計： 1100 point",
        "",
        "--2nd フェーズ" + rule,
        "",
        "成功率修正： 165 point  [<1100>*<1>*0.15]",
        "要発声： -50 point",
        "魔法的物理属性： 50 point",
        "",
        "　以上合計： 1265 point",
        "",
        "--last フェーズ" + rule,
        "",
        "範囲-単体",
        "　基本値： 120 point  [<1265>/7-60]",
        "",
        "使用時回避力修正",
        "　追加： 2 point",
        "",
        "キーコード[暗殺]",
        "　追加： 5 point",
        "",
        "合計： 127",
        "",
        "",
        "技能レベル： 12.7",
        "",
        std::string(75, '='),
        "",
        "",
        "",
        "【備考】",
    };
    return lines;
}

}  // namespace morvat::test
