// The one exception type of the project: failures that reach the application's top-level
// handler, which shows the message and lets the program go on.
#pragma once

#include <stdexcept>
#include <string>

namespace isotri {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace isotri
