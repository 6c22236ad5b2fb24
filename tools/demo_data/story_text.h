// The demo story, "風わたる野" (the field the wind crosses): one entry per
// text line picture, page by page (page 4 is never shown and has none), and
// the lettering of the title, the opening, the intro and the closing screen.
#pragma once

#include <array>
#include <vector>

namespace demo {

inline const std::vector<const char*>& StoryLines(int page) {
  static const std::array<std::vector<const char*>, 7> pages = {{
      {"風が草をわたっていく。", "丘の野原は朝から波のようにゆれている。", "その根もとで、小さな蛾が目をさました。"},
      {"蛾は白い羽をもっていた。", "けれど一度も、遠くへ飛んだことがない。", "「風はどこから来るの」と蛾はたずねた。",
       "草たちはさわさわと笑うばかり。", "日がしずみ、野原に夜がおりてくる。"},
      {"遠くの丘に、ひとつ灯りがともった。", "あたたかい色。ゆれない光。", "蛾は思いきって、草から飛びたった。"},
      {},
      {"風がうしろから背中をおしてくれる。", "羽は思っていたより、ずっと強かった。"},
      {"灯りのまわりを、蛾はいくども回った。", "ちいさな影が、野原いっぱいにひろがる。"},
      {"やがて空が白みはじめ、", "灯りは朝の光にとけた。", "蛾は風にのって、", "知らない丘へむかう。",
       "野原が手をふっていた。"},
  }};
  return pages[static_cast<size_t>(page - 1)];
}

inline constexpr const char* kTitle = "風わたる野";
inline constexpr const char* kSubtitle = "ひとつの灯りと、ちいさな蛾と、草をわたる風のはなし";

}  // namespace demo
