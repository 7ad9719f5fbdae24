// Object lists.
#include "uf/call.hpp"

#include <uf_modl.h>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_MODL_create_list(uf_list_p_t *list) {
    if (list) *list = nullptr;
    return call("UF_MODL_create_list", [&] {
        require_pointer(list, "list");
        *list = store().new_list();
    });
}

int UF_MODL_put_list_item(uf_list_p_t list, tag_t obj_id) {
    return call("UF_MODL_put_list_item", [&] {
        auto tags = list_tags(list, "list");
        if (obj_id == NULL_TAG) throw HostError(kErrNullTag, "item is the null tag");
        for (tag_t tag : tags)
            if (tag == obj_id) return;
        auto *tail = list;
        while (tail->next) tail = tail->next;
        tail->next = new uf_list_s{obj_id, nullptr};
    });
}

int UF_MODL_ask_list_count(uf_list_p_t list, int *count) {
    if (count) *count = 0;
    return call("UF_MODL_ask_list_count", [&] {
        require_pointer(count, "count");
        *count = static_cast<int>(list_tags(list, "list").size());
    });
}

int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *object) {
    if (object) *object = NULL_TAG;
    return call("UF_MODL_ask_list_item", [&] {
        require_pointer(object, "object");
        auto tags = list_tags(list, "list");
        if (index < 0 || index >= static_cast<int>(tags.size()))
            throw HostError(kErrBadValue, "index " + std::to_string(index) + " outside a list of " +
                                              std::to_string(tags.size()));
        *object = tags[index];
    });
}

int UF_MODL_delete_list(uf_list_p_t *list) {
    return call("UF_MODL_delete_list", [&] {
        require_pointer(list, "list");
        list_tags(*list, "list");
        store().free_list(*list);
        *list = nullptr;
    });
}

}  // extern "C"
