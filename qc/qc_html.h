// Markup for the page: elements with attributes and text, every attribute value and every text
// escaped here, so that nothing read from a file can become markup. Only string literals and the
// markup of another writer go in as they are.
#ifndef TINTVALE_QC_HTML_H
#define TINTVALE_QC_HTML_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tintvale::qc {

class HtmlWriter {
public:
    using Attributes = std::vector<std::pair<const char*, std::string>>;

    // <tag name="value" ...>
    HtmlWriter& Open(const char* tag, const Attributes& attributes = {});
    // <tag name="value" .../>
    HtmlWriter& EmptyElement(const char* tag, const Attributes& attributes = {});
    // </tag>
    HtmlWriter& Close(const char* tag);
    // <tag name="value" ...>text</tag>
    HtmlWriter& Element(const char* tag, const Attributes& attributes, const std::string& text);
    HtmlWriter& Text(const std::string& text);
    // Markup written in the source itself.
    template <std::size_t N> HtmlWriter& Literal(const char (&markup)[N])
    {
        mOut.append(markup, N - 1);
        return *this;
    }
    HtmlWriter& Append(const HtmlWriter& other);

    bool IsEmpty() const { return mOut.empty(); }
    const std::string& Markup() const { return mOut; }
    void Reserve(std::size_t size) { mOut.reserve(size); }

private:
    void StartTag(const char* tag, const Attributes& attributes);

    std::string mOut;
};

} // namespace tintvale::qc

#endif
