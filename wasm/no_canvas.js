// emscripten's thread library can proxy canvas and WebGL calls, and so brings
// their JavaScript along; the engine draws nothing, so these stand in.
mergeInto(LibraryManager.library, {
  emscripten_webgl_create_context: function () {
    return 0;
  },
  emscripten_set_canvas_element_size: function () {
    return -1;
  },
});
