#pragma once

#include <string>

// The desktop's secret store (Secret Service, KWallet) through QtKeychain.
namespace kelvo::dav {

bool readPassword(const std::string& key, std::string& password, std::string& error);
bool storePassword(const std::string& key, const std::string& password, std::string& error);

} // namespace kelvo::dav
