/* The toolkit's tables as a C program sees them, for comparison with the C++ view. */
#include <stddef.h>

#include "kyx.h"

int *c_menu_x(void) { return global_menu_x; }
int *c_list_state(void) { return kyx_selectlist_obj.state; }
int *c_entry_focus(void) { return kyx_textentry_obj.focus; }
char *c_entry_text(int i) { return kyx_textentry_obj.text[i]; }
char *c_label_text(int i) { return global_label_text[i]; }
kyx_callback *c_callbacks(void) { return kyx_Array3; }
size_t c_text_size(void) { return sizeof global_label_text[0]; }
size_t c_object_size(void) { return sizeof(struct kyx_object); }
size_t c_textobject_size(void) { return sizeof(struct kyx_textobject); }
