// The trash classes and the palettes detections are drawn with. A model label counts from 0; its
// class id is label + 1. Each table exists once in the program (C++17 inline variables).
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__TRASH_CLASS_TABLE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__TRASH_CLASS_TABLE_HPP_

#include <map>
#include <string>
#include <vector>

inline const std::map<int, std::string> kTrashClassNames = {
  {1, "paper"},        {2, "mask"},          {3, "thread"},       {4, "obstacle"},
  {5, "bottle"},       {6, "blood"},         {7, "person"},       {8, "reflection"},
  {9, "base"},         {10, "chair"},        {11, "waiting"},     {12, "escalator"},
  {13, "rod"},         {14, "coffee"},       {15, "milk"},        {16, "paper_cup"},
  {17, "plastic_bag"}, {18, "carton_box"},   {19, "cotton_ball"}, {20, "medication_board"},
  {21, "swab"},        {22, "drinking_cup"}, {23, "other"},
};

// Drawing colours by model label (three channels in drawing order), labels 0..79.
inline const std::vector<std::vector<int>> kClassColors80 = {
  {0, 114, 189},   {217, 83, 25},   {237, 177, 32},  {126, 47, 142},  {119, 172, 48},
  {77, 190, 238},  {162, 20, 47},   {76, 76, 76},    {153, 153, 153}, {255, 0, 0},
  {255, 128, 0},   {191, 191, 0},   {0, 255, 0},     {0, 0, 255},     {170, 0, 255},
  {85, 85, 0},     {85, 170, 0},    {85, 255, 0},    {170, 85, 0},    {170, 170, 0},
  {170, 255, 0},   {255, 85, 0},    {255, 170, 0},   {255, 255, 0},   {0, 85, 128},
  {0, 170, 128},   {0, 255, 128},   {85, 0, 128},    {85, 85, 128},   {85, 170, 128},
  {85, 255, 128},  {170, 0, 128},   {170, 85, 128},  {170, 170, 128}, {170, 255, 128},
  {255, 0, 128},   {255, 85, 128},  {255, 170, 128}, {255, 255, 128}, {0, 85, 255},
  {0, 170, 255},   {0, 255, 255},   {85, 0, 255},    {85, 85, 255},   {85, 170, 255},
  {85, 255, 255},  {170, 0, 255},   {170, 85, 255},  {170, 170, 255}, {170, 255, 255},
  {255, 0, 255},   {255, 85, 255},  {255, 170, 255}, {85, 0, 0},      {128, 0, 0},
  {170, 0, 0},     {212, 0, 0},     {255, 0, 0},     {0, 43, 0},      {0, 85, 0},
  {0, 128, 0},     {0, 170, 0},     {0, 212, 0},     {0, 255, 0},     {0, 0, 43},
  {0, 0, 85},      {0, 0, 128},     {0, 0, 170},     {0, 0, 212},     {0, 0, 255},
  {0, 0, 0},       {36, 36, 36},    {73, 73, 73},    {109, 109, 109}, {146, 146, 146},
  {182, 182, 182}, {219, 219, 219}, {0, 114, 189},   {80, 183, 189},  {128, 128, 0},
};

// Second palette, indexed by model label modulo 20.
inline const std::vector<std::vector<int>> kClassColors20 = {
  {255, 56, 56},  {255, 157, 151}, {255, 112, 31}, {255, 178, 29},  {207, 210, 49},
  {72, 249, 10},  {146, 204, 23},  {61, 219, 134}, {26, 147, 52},   {0, 212, 187},
  {44, 153, 168}, {0, 194, 255},   {52, 69, 147},  {100, 115, 255}, {0, 24, 236},
  {132, 56, 255}, {82, 0, 133},    {203, 56, 255}, {255, 149, 200}, {255, 55, 199},
};

// The name of a class id, or the empty name for an id the table does not hold. Never inserts.
inline std::string TrashClassName(int class_id)
{
  const auto entry = kTrashClassNames.find(class_id);
  return entry == kTrashClassNames.end() ? std::string() : entry->second;
}

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__TRASH_CLASS_TABLE_HPP_
