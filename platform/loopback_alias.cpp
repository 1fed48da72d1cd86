#include "platform/loopback_alias.h"

#include "common/utf8.h"
#include "platform/run_program.h"

namespace tarrow::platform {

bool listsAddress(std::string_view listing, std::string_view address) {
    if (!validUtf8(listing)) return false;  // undecodable output counts as empty
    return listing.find("inet " + std::string(address) + " ") != std::string_view::npos;
}

bool hasAlias(std::string_view address) {
    Result<ProgramRun> run = runProgram(std::string(ifconfigPath), {std::string(loopbackInterface)},
                                        Output::capture, Output::discard);
    return run && listsAddress(run->output, address);
}

bool ifconfig(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{std::string(loopbackInterface)};
    all.insert(all.end(), arguments.begin(), arguments.end());
    Result<ProgramRun> run =
        runProgram(std::string(ifconfigPath), all, Output::discard, Output::discard);
    return run && run->status == 0;
}

}  // namespace tarrow::platform
