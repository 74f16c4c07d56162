#pragma once

#include "settings/settings_store.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// An in-memory settings key for the settings logic: values can be missing, of any type,
// and single writes, the open or the commit at close can be made to fail. Writes are
// recorded in order and also land in the values, so a save can be loaded back.
class FakeSettingsStore : public SettingsStore {
public:
    struct Write {
        std::string name;
        StoredValue::Type type;
        std::string text;
        std::int32_t dword;
    };

    std::map<std::string, StoredValue> values;
    std::vector<Write> writes;
    std::set<std::string> failingWrites; // names whose write is refused
    bool openFails = false;
    std::string openErrorText; // what openError() says after a failed open
    bool closeFails = false;   // the buffered writes are lost at close
    int opens = 0;
    int closes = 0;

    void setText(const std::string& name, const std::string& text,
                 StoredValue::Type type = StoredValue::Type::String) {
        values[name] = StoredValue{type, text, 0};
    }
    void setDword(const std::string& name, std::int32_t value) {
        values[name] = StoredValue{StoredValue::Type::Dword, {}, value};
    }
    void setOther(const std::string& name) {
        values[name] = StoredValue{StoredValue::Type::Other, {}, 0};
    }
    void remove(const std::string& name) { values.erase(name); }

    bool open() override {
        ++opens;
        return !openFails;
    }
    std::string openError() const override { return openFails ? openErrorText : std::string(); }
    StoredValue read(const std::string& name) override {
        auto it = values.find(name);
        return it == values.end() ? StoredValue{} : it->second;
    }
    bool writeString(const std::string& name, const std::string& value) override {
        return write({name, StoredValue::Type::String, value, 0});
    }
    bool writeExpandString(const std::string& name, const std::string& value) override {
        return write({name, StoredValue::Type::ExpandString, value, 0});
    }
    bool writeDword(const std::string& name, std::int32_t value) override {
        return write({name, StoredValue::Type::Dword, {}, value});
    }
    bool close() override {
        ++closes;
        return !closeFails;
    }

private:
    bool write(const Write& w) {
        if (failingWrites.count(w.name))
            return false;
        writes.push_back(w);
        values[w.name] = StoredValue{w.type, w.text, w.dword};
        return true;
    }
};
