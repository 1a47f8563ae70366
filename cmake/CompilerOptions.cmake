# Flags every target of the project is built with.
add_compile_options(-Wall -Wextra)
if(VELMORA_WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()

if(VELMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
