#include "host_fixture.hpp"

#include <uf_modl.h>

using ListTest = HostTest;

TEST_F(ListTest, KeepsOrderIgnoresDuplicatesAndFreesEveryNode) {
    std::size_t before = store().live_lists();
    uf_list_p_t list = nullptr;
    ASSERT_EQ(UF_MODL_create_list(&list), 0);
    ASSERT_NE(list, nullptr);
    for (tag_t t : {7u, 3u, 7u, 9u}) EXPECT_EQ(UF_MODL_put_list_item(list, t), 0);
    int count = -1;
    EXPECT_EQ(UF_MODL_ask_list_count(list, &count), 0);
    EXPECT_EQ(count, 3);
    tag_t item = 0;
    EXPECT_EQ(UF_MODL_ask_list_item(list, 2, &item), 0);
    EXPECT_EQ(item, 9u);
    EXPECT_NE(UF_MODL_ask_list_item(list, 3, &item), 0);
    EXPECT_EQ(item, NULL_TAG);
    EXPECT_EQ(UF_MODL_delete_list(&list), 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(store().live_lists(), before);
}

TEST_F(ListTest, ForeignOrFreedListsAreErrorsNotCrashes) {
    uf_list_s foreign{1, nullptr};
    int count = 5;
    EXPECT_EQ(UF_MODL_ask_list_count(&foreign, &count), diekit::kErrBadList);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(UF_MODL_put_list_item(nullptr, 3), diekit::kErrNullArgument);
    uf_list_p_t list = nullptr;
    UF_MODL_create_list(&list);
    uf_list_p_t copy = list;
    UF_MODL_delete_list(&list);
    EXPECT_EQ(UF_MODL_delete_list(&copy), diekit::kErrBadList);
    EXPECT_EQ(UF_MODL_put_list_item(nullptr, NULL_TAG), diekit::kErrNullArgument);
    EXPECT_FALSE(store().log_lines().empty());
}
