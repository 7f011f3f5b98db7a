#pragma once
// Pure parsers for the replies whose text carries data: PWD's quoted path,
// the ports of EPSV and PASV, and the feature list of FEAT.

#include "platform/ftp/ReplyReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ftp {

// 257 "/a ""quoted"" folder" is the current directory -> /a "quoted" folder
std::optional<std::string> ParsePwdPath(std::string_view text);

// 229 Entering Extended Passive Mode (|||6446|) -> 6446
std::optional<std::uint16_t> ParseEpsvPort(std::string_view text);

// 227 Entering Passive Mode (h1,h2,h3,h4,p1,p2) -> p1 * 256 + p2. The
// address is not returned: the data connection goes to the control
// connection's peer whatever the reply says.
std::optional<std::uint16_t> ParsePasvPort(std::string_view text);

struct Features {
    bool mlst = false;  // MLST, with the size and modify facts
    bool mdtm = false;
    bool size = false;
    bool authTls = false;  // AUTH TLS offered
};

// The features a 211 FEAT reply lists.
Features ParseFeatures(const Reply& reply);

}  // namespace ftp
