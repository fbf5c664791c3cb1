# The key of the stored password forms in the system profiles.
#
# KESTRELON_PASSWORD_KEY holds the 32 key bytes as 64 hexadecimal digits. It
# must equal the key of the tool that writes the stored forms; the default is
# a development key only. Pass the real key on the command line of the
# configure step (cmake -D KESTRELON_PASSWORD_KEY=...), never in a committed
# file. No message of the build shows the key.
#
# The program does not hold the key whole in its data: the generated header
# password_key_data.h has a 32-byte text in which some bytes are decoys, and a
# separate table of (position, byte) patches; AssemblePasswordKey() copies the
# text and then applies the patches.

set(KESTRELON_DEVELOPMENT_PASSWORD_KEY
    "0605010c0f03181d1b19050b0f1f080308140304110b1c1703141c190a120707")
set(KESTRELON_PASSWORD_KEY "${KESTRELON_DEVELOPMENT_PASSWORD_KEY}" CACHE STRING
    "Key of the stored password forms: 32 bytes as 64 hexadecimal digits")
mark_as_advanced(KESTRELON_PASSWORD_KEY)

string(LENGTH "${KESTRELON_PASSWORD_KEY}" _kestrelon_key_length)
if(NOT _kestrelon_key_length EQUAL 64
   OR NOT KESTRELON_PASSWORD_KEY MATCHES "^[0-9A-Fa-f]+$")
  message(FATAL_ERROR
          "KESTRELON_PASSWORD_KEY must be exactly 64 hexadecimal digits "
          "(32 bytes); the value given (${_kestrelon_key_length} characters) "
          "is not.")
endif()
if(KESTRELON_PASSWORD_KEY STREQUAL KESTRELON_DEVELOPMENT_PASSWORD_KEY)
  message(STATUS "Password key: the development default")
else()
  message(STATUS "Password key: given at configure time")
endif()

# Every third byte (positions 1, 4, 7, ... 31) and every zero byte go to the
# patch table; the text holds a decoy there, a byte that differs from the key
# byte and is not zero, so the text has no terminator inside it.
set(_kestrelon_key_text "")
set(_kestrelon_key_patches "")
foreach(_position RANGE 31)
  math(EXPR _offset "${_position} * 2")
  string(SUBSTRING "${KESTRELON_PASSWORD_KEY}" ${_offset} 2 _pair)
  math(EXPR _value "0x${_pair}")
  math(EXPR _third "${_position} % 3")
  if(_third EQUAL 1 OR _value EQUAL 0)
    # 107 + 17 * position is never 0 or 128 modulo 256 for positions 0 to 31,
    # so either sum differs from the key byte and is not zero.
    math(EXPR _shift "(107 + 17 * ${_position}) % 256")
    math(EXPR _decoy "(${_value} + ${_shift}) % 256")
    if(_decoy EQUAL 0)
      set(_decoy ${_shift})
    endif()
    math(EXPR _decoy "${_decoy}" OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR _value "${_value}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND _kestrelon_key_text "${_decoy}, ")
    string(APPEND _kestrelon_key_patches "    {${_position}, ${_value}},\n")
  else()
    math(EXPR _value "${_value}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND _kestrelon_key_text "${_value}, ")
  endif()
endforeach()

set(KESTRELON_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
# file(CONFIGURE) rewrites the header only when its content changes, so an
# unchanged key does not rebuild the password module.
file(CONFIGURE OUTPUT "${KESTRELON_GENERATED_DIR}/profile/password_key_data.h"
     CONTENT [[
// Generated from KESTRELON_PASSWORD_KEY by cmake/PasswordKey.cmake; do not
// edit, do not commit. Included by profile/password.cc and its test.
#ifndef KESTRELON_PROFILE_PASSWORD_KEY_DATA_H_
#define KESTRELON_PROFILE_PASSWORD_KEY_DATA_H_

// The key text: 32 bytes, decoys at the patched positions.
static const unsigned char kPasswordKeyText[32] = {
    @_kestrelon_key_text@
};

struct PasswordKeyPatch {
  unsigned char position;
  unsigned char value;
};

// The key bytes that replace the decoys.
static const PasswordKeyPatch kPasswordKeyPatches[] = {
@_kestrelon_key_patches@};

#endif  // KESTRELON_PROFILE_PASSWORD_KEY_DATA_H_
]] @ONLY)

unset(_kestrelon_key_length)
unset(_kestrelon_key_text)
unset(_kestrelon_key_patches)
