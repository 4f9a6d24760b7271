// TCgatsValueList: one typed column of a CGATS table (Int, Double or String values).
#ifndef TINTVALE_TCGATSVALUELIST_H
#define TINTVALE_TCGATSVALUELIST_H

#include <optional>
#include <string>
#include <vector>

// A column of a fixed number of samples. Sample indices outside the column are ignored by the
// setters and read as 0, 0.0 or null.
class TCgatsValueList {
public:
    // GetType() numbering; TCgatsField::type numbers the same types differently.
    enum ListType { kInt = 0, kDouble = 1, kString = 2 };

    virtual ~TCgatsValueList() = default;
    // Converts text (locale-independent, the leading number as atoi/atof take it) and stores it.
    virtual void SetValue(int sample, const char* text) = 0;
    virtual int GetInt(int sample) const = 0;
    virtual double GetDouble(int sample) const = 0;
    virtual const char* GetString(int sample) const = 0;
    virtual int GetType() const = 0;
    virtual int Size() const = 0;
    // SetValue for the text first ... last (no terminator needed), as the reader delivers it.
    virtual void SetValue(int sample, const char* first, const char* last) = 0;
};

class TCgatsValueListInt : public TCgatsValueList {
public:
    explicit TCgatsValueListInt(int count);
    void SetValue(int sample, const char* text) override;
    void SetValue(int sample, const char* first, const char* last) override;
    int GetInt(int sample) const override;
    double GetDouble(int sample) const override;
    const char* GetString(int) const override { return nullptr; }
    int GetType() const override { return kInt; }
    int Size() const override { return static_cast<int>(values.size()); }
    void Set(int sample, int value);

    std::vector<int> values;
};

class TCgatsValueListDouble : public TCgatsValueList {
public:
    explicit TCgatsValueListDouble(int count);
    void SetValue(int sample, const char* text) override;
    void SetValue(int sample, const char* first, const char* last) override;
    // Truncated toward zero; values beyond the int range saturate, NaN gives 0.
    int GetInt(int sample) const override;
    double GetDouble(int sample) const override;
    const char* GetString(int) const override { return nullptr; }
    int GetType() const override { return kDouble; }
    int Size() const override { return static_cast<int>(values.size()); }
    void Set(int sample, double value);
    // Stores the number the text first ... last holds whole, blanks around it allowed; anything
    // else ("n/a", "-", "", "37.99abc") stores NaN and gives false.
    bool SetNumber(int sample, const char* first, const char* last);

    std::vector<double> values;
};

class TCgatsValueListString : public TCgatsValueList {
public:
    explicit TCgatsValueListString(int count);
    // Stores a copy of text; a null text makes the entry unset again.
    void SetValue(int sample, const char* text) override;
    void SetValue(int sample, const char* first, const char* last) override;
    int GetInt(int) const override { return 0; }
    double GetDouble(int) const override { return 0.0; }
    // The stored text, or null when never set.
    const char* GetString(int sample) const override;
    int GetType() const override { return kString; }
    int Size() const override { return static_cast<int>(values.size()); }

    std::vector<std::optional<std::string>> values;
};

#endif
