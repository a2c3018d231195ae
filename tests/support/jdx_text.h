// JCAMP-DX texts the tests write, built from a few parts.
#pragma once

#include <cstdint>
#include <string>

namespace jdxtext {

// text with every from replaced by to.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// One infrared block: the header lines given, factors of 1, the X range,
// ##NPOINTS=, ##FIRSTY= (the data's first ordinate) and the ##XYDATA= lines.
inline std::string spectrum(const std::string& title, const std::string& firstX,
                            const std::string& lastX, const std::string& data,
                            const std::string& header = "", int points = 4) {
  const size_t firstY = data.find(' ') + 1;
  return "##TITLE=" + title + "\n##DATA TYPE=INFRARED SPECTRUM\n" + header +
         "##XFACTOR=1\n##YFACTOR=1\n##FIRSTX=" + firstX + "\n##LASTX=" + lastX +
         "\n##NPOINTS=" + std::to_string(points) +
         "\n##FIRSTY=" + data.substr(firstY, data.find_first_of(" \n", firstY) - firstY) +
         "\n##XYDATA=(X++(Y..Y))\n" + data + "\n##END=\n";
}

// A LINK block of the given ##BLOCKS= enclosing body.
inline std::string link(int64_t blocks, const std::string& body) {
  return "##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=" + std::to_string(blocks) + "\n" + body +
         "##END=\n";
}

// Infrared blocks of four points without ##END=: each runs to the end of the
// text and sees every later label. Block b has ##YFACTOR= 2 when b is a
// multiple of 7, an ##ORIGIN= when b is a multiple of 5, and b as first ordinate.
inline std::string unendedBlocks(int count) {
  std::string text;
  for (int b = 0; b < count; ++b) {
    const std::string n = std::to_string(b);
    text += "##TITLE=block " + n +
            "\n##DATA TYPE=INFRARED SPECTRUM\n##XFACTOR=1\n##YFACTOR=" + (b % 7 == 0 ? "2" : "1") +
            "\n##FIRSTX=1\n##LASTX=4\n##NPOINTS=4\n" +
            (b % 5 == 0 ? "##ORIGIN=lab " + n + "\n" : "") + "##XYDATA=(X++(Y..Y))\n1 " + n +
            " 2 3 4\n";
  }
  return text;
}

}  // namespace jdxtext
