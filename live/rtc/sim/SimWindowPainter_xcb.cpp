#include "live/rtc/sim/SimWindowPainter.h"

#include "live/rtc/sim/FrameToBgrx.h"

#include <QDebug>

#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace {

constexpr int kMaxWindowSide = 8192;
// put_image's own header, in bytes.
constexpr std::size_t kPutImageHeader = 24;

} // namespace

struct SimWindowPainter::Impl
{
    struct Target
    {
        xcb_gcontext_t gc = 0;
        bool redFirst = false;
    };

    xcb_connection_t* connection = nullptr;
    bool unavailable = false;
    bool formatReported = false;
    std::map<agora::rtc::view_t, Target> targets;
    std::vector<std::uint8_t> pixels;

    ~Impl()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    bool connect()
    {
        if (connection && !xcb_connection_has_error(connection))
            return true;
        if (connection) {
            // The server went away or the connection broke: start again once.
            xcb_disconnect(connection);
            connection = nullptr;
            targets.clear();
        }
        if (unavailable)
            return false;
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            connection = nullptr;
            unavailable = true;
            qWarning() << "SimWindowPainter no X display: video is not painted into windows";
            return false;
        }
        const xcb_setup_t* setup = xcb_get_setup(connection);
        if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || !has32BitPixels(setup, 24)) {
            qWarning() << "SimWindowPainter the X server's image format is not supported: video is not painted";
            xcb_disconnect(connection);
            connection = nullptr;
            unavailable = true;
            return false;
        }
        return true;
    }

    static bool has32BitPixels(const xcb_setup_t* setup, int depth)
    {
        xcb_format_iterator_t format = xcb_setup_pixmap_formats_iterator(setup);
        for (; format.rem; xcb_format_next(&format)) {
            if (format.data->depth == depth)
                return format.data->bits_per_pixel == 32;
        }
        return false;
    }

    // True when the visual keeps red in the lowest byte.
    bool visualHasRedFirst(xcb_visualid_t visual) const
    {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen)) {
            for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem;
                 xcb_depth_next(&depth)) {
                for (xcb_visualtype_iterator_t type = xcb_depth_visuals_iterator(depth.data); type.rem;
                     xcb_visualtype_next(&type)) {
                    if (type.data->visual_id == visual)
                        return type.data->red_mask == 0xff;
                }
            }
        }
        return false;
    }

    // The window's size and what is needed to draw into it; false when it is gone.
    bool targetFor(agora::rtc::view_t window, Target& target, int& width, int& height, std::uint8_t& depth)
    {
        const auto id = xcb_window_t(window);
        xcb_generic_error_t* error = nullptr;
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), &error);
        std::free(error);
        if (!geometry) {
            forgetWindow(window);
            return false;
        }
        width = geometry->width;
        height = geometry->height;
        depth = geometry->depth;
        std::free(geometry);

        auto known = targets.find(window);
        if (known == targets.end()) {
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
            if (!attributes)
                return false;
            Target fresh;
            fresh.redFirst = visualHasRedFirst(attributes->visual);
            std::free(attributes);
            fresh.gc = xcb_generate_id(connection);
            xcb_create_gc(connection, fresh.gc, id, 0, nullptr);
            known = targets.emplace(window, fresh).first;
        }
        target = known->second;
        return true;
    }

    void forgetWindow(agora::rtc::view_t window)
    {
        const auto known = targets.find(window);
        if (known == targets.end())
            return;
        if (connection)
            xcb_free_gc(connection, known->second.gc);
        targets.erase(known);
    }

    void dropEvents()
    {
        // Errors of requests whose window went away in the meantime arrive here; nothing waits for them.
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
            std::free(event);
    }
};

SimWindowPainter::SimWindowPainter()
    : d(std::make_unique<Impl>())
{
}

SimWindowPainter::~SimWindowPainter() = default;

bool SimWindowPainter::paint(agora::rtc::view_t window, const I420Frame& frame, int renderMode, bool mirror)
{
    if (window == 0 || !d->connect())
        return false;
    Impl::Target target;
    int width = 0;
    int height = 0;
    std::uint8_t depth = 0;
    if (!d->targetFor(window, target, width, height, depth)) {
        d->dropEvents();
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxWindowSide || height > kMaxWindowSide)
        return true;
    if ((depth != 24 && depth != 32) || !Impl::has32BitPixels(xcb_get_setup(d->connection), depth)) {
        if (!d->formatReported)
            qWarning() << "SimWindowPainter windows of depth" << depth << "are not painted";
        d->formatReported = true;
        return false;
    }

    const int stride = width * 4;
    d->pixels.resize(std::size_t(stride) * height);
    scaleI420ToBgrx(frame, width, height, renderMode, mirror, target.redFirst, d->pixels.data(), stride);

    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(d->connection)) * 4 - kPutImageHeader;
    const int rowsPerStrip = std::max(1, int(maxBytes / std::size_t(stride)));
    for (int top = 0; top < height; top += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, height - top);
        xcb_put_image(d->connection, XCB_IMAGE_FORMAT_Z_PIXMAP, xcb_drawable_t(window), target.gc, std::uint16_t(width),
                      std::uint16_t(rows), 0, std::int16_t(top), 0, depth, std::uint32_t(rows * stride),
                      d->pixels.data() + std::size_t(top) * stride);
    }
    xcb_flush(d->connection);
    d->dropEvents();
    return !xcb_connection_has_error(d->connection);
}

void SimWindowPainter::forget(agora::rtc::view_t window)
{
    d->forgetWindow(window);
}
