#include "link/Tx310Codes.h"

namespace kos {

const char* tx310CodeName(Tx310Code code) {
    switch (code) {
        case TX310_OK:
            return "TX310_OK";
        case TX310_ERR_ABORTED:
            return "TX310_ERR_ABORTED";
        case TX310_ERR_OPEN:
            return "TX310_ERR_OPEN";
        case TX310_ERR_SEND:
            return "TX310_ERR_SEND";
        case TX310_ERR_READ:
            return "TX310_ERR_READ";
        case TX310_ERR_FORMAT:
            return "TX310_ERR_FORMAT";
        case TX310_ERR_CRC:
            return "TX310_ERR_CRC";
        case TX310_ERR_PORT:
            return "TX310_ERR_PORT";
        case TX310_ERR_ECR_NUMBER:
            return "TX310_ERR_ECR_NUMBER";
        default:
            return "TX310_ERR_UNKNOWN";
    }
}

}  // namespace kos
