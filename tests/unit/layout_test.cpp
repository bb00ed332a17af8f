// The mouse areas as the module builds them: every handler comes from the command table, or is the one that
// does nothing, or is absent beside a key event.
#include "layout/layout.h"

#include <cstring>
#include <functional>

#include "frame/catalogue.h"
#include "layout/bitmaps.h"
#include "modes/command_table.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

bool in_table(CommandHandler handler) {
    for (const CommandEntry& e : command_table)
        if (e.handler == handler) return true;
    return false;
}

class MouseAreas : public ModuleTest {};

TEST_F(MouseAreas, HandlersComeFromTheTableOrDoNothing) {
    int inert = 0, key_events = 0;
    for (const GaugeHeader& gauge : gauge_headers) {
        const MouseArea* a = gauge.mouse_areas;
        ASSERT_EQ(a->type, kParent);
        for (++a; a->type == kArea; ++a) {
            if (a->key_event != 0) {
                EXPECT_EQ(a->handler, nullptr) << gauge.name;
                ++key_events;
            } else if (!in_table(a->handler)) {
                EXPECT_EQ(a->handler, &layout::inert_handler) << gauge.name;
                ++inert;
            }
        }
        EXPECT_EQ(a->type, kParentEnd);
        EXPECT_EQ(a[1].type, kListEnd);
    }
    EXPECT_EQ(inert, Variant::afcp_has_feedback_images ? 0 : 1);
    EXPECT_EQ(key_events, Variant::afcp_has_feedback_images ? 0 : 8);
}

TEST_F(MouseAreas, TheInertHandlerChangesNothing) {
    StateBlock* block = attach();
    gate_open();
    const StateBlock before = *block;
    const ModuleState module_before = module;
    EXPECT_EQ(layout::inert_handler(1, 2), 0);
    EXPECT_EQ(std::memcmp(&before, block, sizeof before), 0);
    EXPECT_EQ(std::memcmp(module_before.countdown, module.countdown, sizeof module.countdown), 0);
    EXPECT_TRUE(host.events.empty());
}

// The host's values in every record, as the host reads them: written here as plain numbers, so that a wrong
// combination of named flags shows.
constexpr int32_t kFailureList[] = {21, 3, 0, 0};

class HostValues : public ModuleTest {
protected:
    static void walk(ElementHead* e, int depth, const std::function<void(ElementHead*, int)>& visit) {
        visit(e, depth);
        if (e->child_list == nullptr) return;
        for (ElementHead** c = e->child_list; *c != nullptr; ++c) walk(*c, depth + 1, visit);
    }
};

TEST_F(HostValues, ImageFlagsSelectionModeAndFailureListOfEveryElement) {
    int selectors = 0, texts = 0, tapes = 0;
    for (int g = 0; g < kGaugeCount; ++g) {
        SCOPED_TRACE(gauge_headers[g].name);
        walk(gauge_headers[g].element_list[0], 0, [&](ElementHead* e, int depth) {
            switch (e->kind) {
            case kStaticImage:
                EXPECT_EQ(depth, 0);
                EXPECT_EQ(e->image_flags, g == kGaugeAnnunciator ? 0u : 1u);
                EXPECT_EQ(e->failure_list, nullptr);
                break;
            case kImageSelector: {
                ++selectors;
                const auto* s = reinterpret_cast<ImageSelectorElement*>(e);
                EXPECT_EQ(s->selection_mode, 3u);
                const bool lamp = e->failure_list != nullptr;
                EXPECT_EQ(e->image_flags, lamp ? 7u : s->image_count == 2 ? 3u : 2u) << e->bitmap_id;
                if (lamp) {
                    EXPECT_EQ(std::memcmp(e->failure_list, kFailureList, sizeof kFailureList), 0);
                }
                break;
            }
            case kText: {
                ++texts;
                const auto* t = reinterpret_cast<TextElement*>(e);
                EXPECT_EQ(t->format_flags, 0x25u);
                EXPECT_EQ(e->image_flags, g == kGaugeAnnunciator ? 7u : 6u);
                ASSERT_NE(e->failure_list, nullptr);
                EXPECT_EQ(std::memcmp(e->failure_list, kFailureList, sizeof kFailureList), 0);
                break;
            }
            case kMovingImage:
                ++tapes;
                EXPECT_EQ(e->image_flags, 0u);
                EXPECT_EQ(e->failure_list, nullptr);
                break;
            default:
                ADD_FAILURE() << "kind " << e->kind;
            }
        });
    }
    EXPECT_EQ(selectors, Variant::afcp_has_feedback_images ? 13 : 0);
    EXPECT_EQ(texts, 12);
    EXPECT_EQ(tapes, 2);
}

TEST_F(HostValues, CursorsAndMouseFlagsOfEveryArea) {
    for (const GaugeHeader& gauge : gauge_headers) {
        SCOPED_TRACE(gauge.name);
        const MouseArea* a = gauge.mouse_areas;
        for (; a->type != kListEnd; ++a) {
            if (a->type != kArea) {
                EXPECT_EQ(a->cursor, -1);
                EXPECT_EQ(a->mouse_flags, 0u);
                continue;
            }
            const bool trim_centre = a->handler == command("TRIM_CENTER");
            EXPECT_TRUE(a->cursor == 1 || a->cursor == 2 || a->cursor == 5) << a->cursor;
            EXPECT_EQ(a->mouse_flags, a->cursor == 5 && !trim_centre ? 0x20000000u : 0x20200000u);
        }
        EXPECT_EQ(a->cursor, -1);
    }
}

// Every element and area lies on its gauge's root picture, at the sizes of the bitmap manifest; each image a
// selector or a tape can show is a bitmap of the module.
TEST_F(HostValues, EverythingLiesOnItsRootPictureAtTheManifestSizes) {
    for (int g = 0; g < kGaugeCount; ++g) {
        SCOPED_TRACE(gauge_headers[g].name);
        ElementHead* root = gauge_headers[g].element_list[0];
        const bitmap::Entry* face = bitmap::by_id(Variant::bitmaps, root->bitmap_id);
        ASSERT_NE(face, nullptr);
        const auto inside = [&](int32_t x, int32_t y, int32_t w, int32_t h) {
            return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= face->width && y + h <= face->height;
        };
        walk(root, 0, [&](ElementHead* e, int) {
            if (e->kind == kImageSelector) {
                const auto* s = reinterpret_cast<ImageSelectorElement*>(e);
                for (uint32_t n = 0; n < s->image_count; ++n) {
                    const bitmap::Entry* image = bitmap::by_id(Variant::bitmaps, e->bitmap_id + int32_t(n));
                    ASSERT_NE(image, nullptr) << e->bitmap_id << " + " << n;
                    EXPECT_TRUE(inside(e->x, e->y, image->width, image->height)) << image->name;
                }
            } else if (e->kind == kMovingImage) {
                const auto* t = reinterpret_cast<MovingImageElement*>(e);
                const bitmap::Entry* strip = bitmap::by_id(Variant::bitmaps, e->bitmap_id);
                const bitmap::Entry* window = bitmap::by_id(Variant::bitmaps, e->bitmap_id + 1);
                ASSERT_NE(strip, nullptr);
                ASSERT_NE(window, nullptr);
                EXPECT_TRUE(inside(e->x, e->y, window->width, window->height)) << window->name;
                EXPECT_EQ(t->x_range_end, double(strip->width - window->width));
                EXPECT_EQ(t->y_range_end, double(strip->height - window->height));
            } else if (e->kind == kText) {
                const auto* t = reinterpret_cast<TextElement*>(e);
                EXPECT_TRUE(inside(e->x, e->y, t->box_width, t->box_height));
            }
        });
        for (const MouseArea* a = gauge_headers[g].mouse_areas; a->type != kListEnd; ++a) {
            if (a->type == kArea) {
                EXPECT_TRUE(inside(a->x, a->y, a->width, a->height)) << a->x << "," << a->y;
            }
        }
    }
}

}  // namespace
}  // namespace afcp::test

// The manifest's look-up as a host asks it at run time: an id no module carries, and one only the other carries.
TEST(BitmapManifest, AnIdNotCarriedIsNotFound) {
    volatile int32_t unknown = 0x7777, korst_only = 0x1040;
    EXPECT_EQ(afcp::bitmap::index_of(afcp::bitmap::Module::korst, unknown), -1);
    EXPECT_EQ(afcp::bitmap::by_id(afcp::bitmap::Module::brevane, korst_only), nullptr);
    EXPECT_NE(afcp::bitmap::by_id(afcp::bitmap::Module::korst, korst_only), nullptr);
}
