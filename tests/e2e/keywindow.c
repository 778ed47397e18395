// SPDX-License-Identifier: GPL-3.0-or-later
/* Another program's window that takes the keyboard and tells which keys reached it.
 * Usage: keywindow TITLE. Prints "mapped" once the window is on the screen and
 * "key NAME" for every key press it receives: the letter for a letter key, the key symbol in hex for
 * any other (Ctrl itself, for example). Runs until killed. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: keywindow TITLE\n");
        return 1;
    }
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "keywindow: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    xcb_screen_t *screen = it.data;

    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 900, 700, 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, strlen(argv[1]), argv[1]);
    xcb_map_window(c, w);
    xcb_flush(c);

    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    xcb_generic_event_t *event;
    int mapped = 0;
    while ((event = xcb_wait_for_event(c))) {
        const int type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE && !mapped) {
            mapped = 1;
            printf("mapped\n");
        } else if (type == XCB_KEY_PRESS) {
            xcb_key_press_event_t *key = (xcb_key_press_event_t *)event;
            const xcb_keysym_t sym = xcb_key_symbols_get_keysym(symbols, key->detail, 0);
            if (sym >= 'a' && sym <= 'z')
                printf("key %c\n", (char)sym);
            else
                printf("key 0x%x\n", (unsigned)sym);
        }
        fflush(stdout);
        free(event);
    }
    xcb_key_symbols_free(symbols);
    xcb_disconnect(c);
    return 0;
}
