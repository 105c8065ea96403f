// The pilot's API key for the airline's server, kept where only the pilot's own account can
// read it: Windows protects it with the account's data-protection key (DPAPI); the Linux
// console host keeps it in a file readable by its owner only. The key never goes anywhere else:
// not the configuration, a log, a message or an error text.
#pragma once

#include <memory>
#include <string>

namespace aerolinker {

class ApiKeyStore {
public:
    virtual ~ApiKeyStore() = default;
    // False with `error` set (a text for the pilot, without the key) when a key is stored but
    // cannot be read; true with an empty `key` when none is stored.
    virtual bool Load(std::string& key, std::string& error) = 0;
    // Replaces the stored key; an empty key removes it.
    virtual bool Save(const std::string& key, std::string& error) = 0;
};

// The platform's store of the key in `path` (the file it owns; created on the first save).
std::unique_ptr<ApiKeyStore> MakeApiKeyStore(const std::string& path);

}  // namespace aerolinker
