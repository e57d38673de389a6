#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The advert page as a window that lays HTML out by itself (the Linux one) may show it. Such a
// layout engine pays for nesting, tables within tables, pictures in a row and long unbroken
// words far beyond their size (a 300-byte page of nested tables took it a minute), so the page
// is cut down to a small, plain subset of HTML before it is shown.
namespace tolvane {

// Longer pages are not shown at all: a 300 × 200 advert needs a few kilobytes, its pictures
// come separately.
inline constexpr std::size_t kMaxAdvertPageBytes = 64 * 1024;

// The page (UTF-8) with only these elements and attributes left, everything else dropped with
// its markup but not its text (the contents of script, style, title and the like go too):
//   a href; img src width height; font color size; body bgcolor; p div h1-h6 align;
//   table width border cellpadding cellspacing bgcolor align; tr bgcolor align;
//   td th width bgcolor align valign colspan rowspan;
//   b strong i em u s strike small big sub sup span center ul ol li br hr.
// Numbers are capped, colours and addresses checked; elements nest at most 24 deep, tables 3
// deep and 8 in all, 500 elements in all; every element is closed; a run of 200 characters
// without a blank gets a zero-width space, where a line may break.
std::string SanitizeAdvertPage(std::string_view html);

}  // namespace tolvane
