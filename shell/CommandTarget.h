// Command routing as the frame does it: the active view first, then its document, then the
// frame. A target that knows a command fills its state and returns true.
#pragma once

namespace kos {

struct CommandState {
    bool enabled = false;
    bool checked = false;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // True when this target handles the command; state then tells whether it may run now.
    virtual bool updateCommand(int id, CommandState& state) = 0;
    // True when this target handled the command.
    virtual bool runCommand(int id) = 0;
};

}  // namespace kos
