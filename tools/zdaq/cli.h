#pragma once
// The zdaq command: list devices, read points, sample points. Plain text on out, one record a
// line with tab-separated fields; failures on err as "zdaq: <description> (0x<HRESULT>)".

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "zdaq/enumerator.h"

namespace zdaq::cli {

// Exit status: 0 success, 1 a device failure, 2 a usage error.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// As Run, against the given back-end whatever --simulate says (for tests).
int RunWith(const std::vector<std::string>& args, const Backend& backend, std::ostream& out,
            std::ostream& err);

}  // namespace zdaq::cli
