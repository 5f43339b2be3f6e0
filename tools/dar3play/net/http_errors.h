// libcurl's failures and HTTP statuses in a listener's words.
#pragma once

#include <string>

// `code` a CURLcode, `detail` libcurl's error buffer (may be empty), `http_status` the reply's
// status when there was one, `os_error` the errno of a failed connect.
std::string DescribeTransferFailure(int code, const std::string& detail, long http_status, long os_error);
