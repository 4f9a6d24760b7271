// The page's markup writer: the one place text becomes HTML.
#include "qc_html.h"

namespace tintvale::qc {

namespace {

// Text for HTML and XML alike: the five characters with a meaning there become references.
std::string Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else if (ch == '"')
            out += "&quot;";
        else if (ch == '\'')
            out += "&#39;";
        else
            out += ch;
    }
    return out;
}

} // namespace

void HtmlWriter::StartTag(const char* tag, const Attributes& attributes)
{
    mOut += '<';
    mOut += tag;
    for (const auto& [name, value] : attributes) {
        mOut += ' ';
        mOut += name;
        mOut += "=\"";
        mOut += Escape(value);
        mOut += '"';
    }
}

HtmlWriter& HtmlWriter::Open(const char* tag, const Attributes& attributes)
{
    StartTag(tag, attributes);
    mOut += '>';
    return *this;
}

HtmlWriter& HtmlWriter::EmptyElement(const char* tag, const Attributes& attributes)
{
    StartTag(tag, attributes);
    mOut += "/>";
    return *this;
}

HtmlWriter& HtmlWriter::Close(const char* tag)
{
    mOut += "</";
    mOut += tag;
    mOut += '>';
    return *this;
}

HtmlWriter& HtmlWriter::Element(const char* tag, const Attributes& attributes, const std::string& text)
{
    return Open(tag, attributes).Text(text).Close(tag);
}

HtmlWriter& HtmlWriter::Text(const std::string& text)
{
    mOut += Escape(text);
    return *this;
}

HtmlWriter& HtmlWriter::Append(const HtmlWriter& other)
{
    mOut += other.mOut;
    return *this;
}

} // namespace tintvale::qc
