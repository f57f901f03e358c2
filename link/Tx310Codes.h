// Return codes of every link operation.
#pragma once

namespace kos {

enum Tx310Code : int {
    TX310_OK = 0,
    TX310_ERR_ABORTED = 1,     // a caller's callback asked to stop
    TX310_ERR_OPEN = 2,        // port could not be opened or configured
    TX310_ERR_SEND = 3,        // write failed, or frame never acknowledged
    TX310_ERR_READ = 4,        // read failed or timed out, no frame, no ACK, command refused
    TX310_ERR_FORMAT = 5,      // frame or reply broke the format
    TX310_ERR_CRC = 6,         // received frame's CRC did not match
    TX310_ERR_PORT = 7,        // port number outside 1..4
    TX310_ERR_ECR_NUMBER = 8,  // register number out of range
};

const char* tx310CodeName(Tx310Code code);

}  // namespace kos
