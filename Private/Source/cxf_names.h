// CxfNames: CxF3 core elements found by local name, whatever prefix the document binds to the
// core namespace (cc:, ns0:, the default namespace, ...). Elements of other namespaces are not
// core elements and are passed over.
#ifndef TINTVALE_CXF_NAMES_H
#define TINTVALE_CXF_NAMES_H

#include <pugixml.hpp>

#include <cstring>
#include <string>

namespace tintvale::detail {

class CxfNames {
public:
    // Learns the prefix bound to uri on element (the root): "p:" for xmlns:p, "" for xmlns.
    // False when the element binds no prefix to uri.
    bool Bind(const pugi::xml_node& element, const char* uri)
    {
        for (const pugi::xml_attribute& a : element.attributes()) {
            if (std::strcmp(a.value(), uri) != 0)
                continue;
            const char* name = a.name();
            if (std::strcmp(name, "xmlns") == 0) {
                prefix.clear();
                return true;
            }
            if (std::strncmp(name, "xmlns:", 6) == 0) {
                prefix = std::string(name + 6) + ":";
                return true;
            }
        }
        return false;
    }

    // The local name of a core element, or null for any other node.
    const char* Local(const pugi::xml_node& node) const
    {
        if (node.type() != pugi::node_element)
            return nullptr;
        const char* name = node.name();
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
            return nullptr;
        const char* local = name + prefix.size();
        // Without a prefix, a prefixed name is in another namespace.
        return prefix.empty() && std::strchr(local, ':') ? nullptr : local;
    }
    bool Is(const pugi::xml_node& node, const char* local) const
    {
        const char* own = Local(node);
        return own && std::strcmp(own, local) == 0;
    }
    // The first core child named local, or an empty node.
    pugi::xml_node Child(const pugi::xml_node& parent, const char* local) const
    {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
            if (Is(child, local))
                return child;
        return pugi::xml_node();
    }
    // Calls visit for every core child named local, in order.
    template <typename Visit>
    void Children(const pugi::xml_node& parent, const char* local, Visit visit) const
    {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
            if (Is(child, local))
                visit(child);
    }
    // The text of the core child named local ("" when absent).
    const char* Text(const pugi::xml_node& parent, const char* local) const
    {
        return Child(parent, local).child_value();
    }

private:
    std::string prefix;
};

} // namespace tintvale::detail

#endif
