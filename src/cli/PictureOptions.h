// Options of isotri-plot that shape the picture: isoline count, size, grid, corners, output.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "render/NumberText.h"

namespace isotri::cli {

struct PictureOptions {
    int lines = 5;    // --lines N, 1..50
    int width = 800;  // --size WxH
    int height = 740;
    int divisions = 4;  // --divisions N, grid divisions, 1..100
    // --bounds "ax ay az bx by bz cx cy cz": corners A, B, C of the sub-triangle.
    std::array<float, 9> bounds{1, 0, 0, 0, 1, 0, 0, 0, 1};
    bool boundsGiven = false;
    std::vector<std::string> dirs;  // --dir DIR: more model modules
    std::string output;             // -o FILE
};

// Takes the option at args[i] (and its value) when it is one of the above and advances i past
// it. Returns false with `error` set (Russian) when the option is known but its value is bad;
// `taken` tells whether args[i] was one of these options.
bool TakePictureOption(const Args& args, std::size_t& i, const NumberText& numbers,
                       PictureOptions& options, bool& taken, std::string& error);

}  // namespace isotri::cli
