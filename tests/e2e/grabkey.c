// SPDX-License-Identifier: GPL-3.0-or-later
/* Holds a key combination the way another program's global shortcut would: a passive grab on
 * the root window. Usage: grabkey LETTER (Ctrl+LETTER, also with CapsLock and NumLock).
 * Prints "grabbed" once the grab is in place and "press" for every press it takes; exits 2
 * when the grab is refused. Runs until killed. */
#include <stdio.h>
#include <stdlib.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

int main(int argc, char **argv)
{
    if (argc != 2 || argv[1][0] < 'a' || argv[1][0] > 'z' || argv[1][1] != 0) {
        fprintf(stderr, "usage: grabkey LETTER\n");
        return 1;
    }
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "grabkey: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;

    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, (xcb_keysym_t)argv[1][0]);
    xcb_key_symbols_free(symbols);
    if (!codes || codes[0] == XCB_NO_SYMBOL) {
        fprintf(stderr, "grabkey: no key code for %s\n", argv[1]);
        return 1;
    }
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    int refused = 0;
    for (xcb_keycode_t *k = codes; *k != XCB_NO_SYMBOL; ++k) {
        for (int i = 0; i < 4; ++i) {
            xcb_void_cookie_t cookie = xcb_grab_key_checked(c, 0, root, XCB_MOD_MASK_CONTROL | locks[i], *k,
                                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            xcb_generic_error_t *error = xcb_request_check(c, cookie);
            if (error) {
                refused = 1;
                free(error);
            }
        }
    }
    free(codes);
    if (refused) {
        fprintf(stderr, "grabkey: the grab was refused\n");
        return 2;
    }
    printf("grabbed\n");
    fflush(stdout);

    xcb_generic_event_t *event;
    while ((event = xcb_wait_for_event(c))) {
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
            printf("press\n");
            fflush(stdout);
        }
        free(event);
    }
    xcb_disconnect(c);
    return 0;
}
