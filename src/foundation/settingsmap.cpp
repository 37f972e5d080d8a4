#include "foundation/settingsmap.h"

#include <mutex>

struct TSettingsMap::Data {
    std::mutex mutex;
    std::map<str, str> values;
    Observer observer = nullptr;
};

TSettingsMap& TSettingsMap::GetInstance() {
    static TSettingsMap* instance = new TSettingsMap;  // usable from global destructors too
    return *instance;
}

TSettingsMap::Data& TSettingsMap::Locked() const {
    static Data* data = new Data;
    return *data;
}

void TSettingsMap::Set(const str& key, const str& value) {
    Data& data = Locked();
    Observer observer;
    {
        std::lock_guard<std::mutex> lock(data.mutex);
        data.values[key] = value;
        observer = data.observer;
    }
    if (observer != nullptr) observer(key, value);
}

str TSettingsMap::Get(const str& key, const str& fallback) const {
    Data& data = Locked();
    std::lock_guard<std::mutex> lock(data.mutex);
    auto it = data.values.find(key);
    return it == data.values.end() ? fallback : it->second;
}

bool TSettingsMap::Has(const str& key) const {
    Data& data = Locked();
    std::lock_guard<std::mutex> lock(data.mutex);
    return data.values.count(key) != 0;
}

void TSettingsMap::Clear() {
    Data& data = Locked();
    std::lock_guard<std::mutex> lock(data.mutex);
    data.values.clear();
}

void TSettingsMap::SetObserver(Observer observer) {
    Data& data = Locked();
    std::lock_guard<std::mutex> lock(data.mutex);
    data.observer = observer;
}
