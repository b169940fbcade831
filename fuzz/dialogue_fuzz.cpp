// The whole dialogue on arbitrary standard input: it must end with status 0
// or 1 and never crash. Simulations are capped at a few hundred trials so that
// every input runs quickly.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "dialogue.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    varnolith::DialogueOptions options;
    options.trial_cap = VARNOLITH_FUZZ_TRIAL_CAP;
    const int status = varnolith::run_dialogue(in, out, err, options);
    if (status != 0 && status != 1) std::abort();
    if (status == 1 && err.str().empty()) std::abort(); // a refusal always says why
    return 0;
}
