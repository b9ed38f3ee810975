// The checks made before a board's files go out, as one-line Chinese warnings (UTF-8):
// what a board maker would miss or misread in the files that the plan takes.
#pragma once

#include <string>
#include <vector>

#include "layers/LayerPlan.h"
#include "layers/Recognise.h"

namespace layers {

// The warnings for a plan made from files, in this order:
//   "缺少外形层：GKO"        GKO takes no Gerber file that is the outline or of unknown
//                             function, GM1 takes no outline, and GKO is not already renamed
//   "缺少钻孔文件：TXT"      TXT takes no drill file and is not already renamed
// then for each planned layer in plan order:
//   "不是 Gerber 或钻孔文件：TXT 取 notes.txt"
//   "功能与扩展名不符：GTL 取 board.GTL，识别为底层铜箔"
//   "同一层有多个文件：GTL 取 a.GTL，不取 b.GTL、c.GTL"
// then for each inner copper file of the folder, which no code covers:
//   "内层不会打包：board.G1（内层铜箔 1）"
//   "内层不会打包：board.GP1（内层铜箔，层号未知）"   an inner layer whose number is unknown
std::vector<std::string> CheckPlan(const std::vector<RecognisedFile>& files, const std::vector<PlannedLayer>& plan);

}  // namespace layers
