; The busy benchmark cartridge: a program that never idles, for measuring how
; fast the whole machine runs. Run it as `quav --headless busy.bin`.
;
; Screen: Graphics II, every one of the 768 characters its own pattern and
; colours; 16 sprites of 16 x 16 pixels move over it, several sharing lines.
; Sound: three tones and the white noise all sound; the frame handler sweeps
; tone 0. Its RAM is 0xC000-0xFFFF, which every cartridge map has.
;
; The main loop runs passes without end. A pass makes 256 16-bit values with
; 16-bit adds and subtracts into a 512-byte RAM buffer and streams the buffer
; into the pattern table (the next 512 bytes of it each pass), then sends
; the sprite attributes when a frame has passed since it last did.
;
; The frame interrupt (IM 1) reads the status, moves the sprites in RAM,
; sweeps the tone and raises a flag for the main loop. It never touches the
; VDP's address, so the main loop streams with interrupts on; only the two
; bytes that set the address are written with interrupts off.

vdp_data        equ 0BEh
vdp_control     equ 0BFh
psg_port        equ 7Fh
vram_write      equ 40h             ; OR-ed into the high address byte

pattern_table   equ 0000h           ; 0x0000-0x17FF, three thirds of 2 KB
pattern_length  equ 1800h
sprite_patterns equ 1800h           ; register 6 = 3
colour_table    equ 2000h           ; 0x2000-0x37FF
colour_length   equ 1800h
name_table      equ 3800h           ; 768 names
sprite_table    equ 3B00h           ; register 5 = 0x76
sprite_count    equ 16
sprite_end      equ 0D0h            ; Y value that ends the attribute table
screen_lines    equ 192

buffer          equ 0C000h          ; 512 bytes streamed each pass
buffer_words    equ 256
sprite_ram      equ 0C200h          ; 16 entries of Y, X, name, colour, then 0xD0
velocity_ram    equ 0C280h          ; 16 pairs of dY, dX
seed            equ 0C300h          ; the running value of the arithmetic
step            equ 0C302h          ; its step
stream_address  equ 0C304h          ; where the next pass lands in VRAM
tone            equ 0C306h          ; tone 0's 10-bit period
frame_flag      equ 0C308h          ; 1 when the sprites moved since they were sent

        org 0000h
        jp start
        ds 0038h - $, 0
        jp frame
        ds 0066h - $, 0
        retn                        ; the reset button does nothing here

; ---- start-up, interrupts disabled, display off ----
start:  di
        im 1
        ld sp, 0000h                ; the stack grows down from 0xFFFF
        ld hl, vdp_registers
        ld b, vdp_registers_length
        ld c, vdp_control
        otir

        ld hl, sprites              ; attributes and velocities into RAM
        ld de, sprite_ram
        ld bc, sprites_length
        ldir
        ld hl, velocities
        ld de, velocity_ram
        ld bc, velocities_length
        ldir
        ld hl, 1234h
        ld (seed), hl
        ld hl, 0357h
        ld (step), hl
        ld hl, pattern_table
        ld (stream_address), hl
        ld hl, 0100h
        ld (tone), hl
        xor a
        ld (frame_flag), a

        ld hl, pattern_table        ; patterns: a checker that varies with the address
        call set_vram_write
        ld de, pattern_length
fill_patterns:
        ld a, e
        xor d
        rrca
        xor 55h
        out (vdp_data), a
        dec de
        ld a, d
        or e
        jr nz, fill_patterns

        ld hl, colour_table         ; colours: foreground and background never 0
        call set_vram_write
        ld de, colour_length
fill_colours:
        ld a, e
        add a, d
        or 11h
        out (vdp_data), a
        dec de
        ld a, d
        or e
        jr nz, fill_colours

        ld hl, name_table           ; names 0-255 in each third
        call set_vram_write
        ld d, 3
fill_names:
        xor a
name:   out (vdp_data), a
        inc a
        jr nz, name
        dec d
        jr nz, fill_names

        ld hl, sprite_patterns      ; two 16 x 16 shapes, names 0 and 4
        call set_vram_write
        ld hl, shapes
        ld b, shapes_length
        ld c, vdp_data
        otir

        ld hl, psg_setup
        ld b, psg_setup_length
        ld c, psg_port
        otir

        ld a, 0E2h                  ; 16 KB, display on, frame interrupt on, 16 x 16 sprites
        out (vdp_control), a
        ld a, 81h
        out (vdp_control), a
        ei

; ---- the main loop ----
pass:   call make_values
        call stream_buffer
        ld a, (frame_flag)
        or a
        jr z, pass
        xor a
        ld (frame_flag), a
        ld hl, sprite_table
        di
        call set_vram_write
        ei
        ld hl, sprite_ram
        ld b, sprites_length
        ld c, vdp_data
        otir
        jr pass

; 256 values of x += step, step = 2 * step - x (16-bit, with the carry)
; stored little-endian into the buffer.
make_values:
        ld ix, buffer
        ld hl, (seed)
        ld de, (step)
        ld b, buffer_words
value:  add hl, de
        ex de, hl
        add hl, hl
        sbc hl, de
        ex de, hl
        ld (ix+0), l
        ld (ix+1), h
        inc ix
        inc ix
        djnz value
        ld (seed), hl
        ld (step), de
        ret

; The buffer into the next 512 bytes of the pattern table.
stream_buffer:
        ld hl, (stream_address)
        di
        call set_vram_write
        ei
        ld de, 2 * buffer_words
        add hl, de
        ld a, h
        cp pattern_length / 256
        jr c, stream_next
        ld hl, pattern_table
stream_next:
        ld (stream_address), hl
        ld hl, buffer
        ld c, vdp_data
        ld b, 0                     ; 256 bytes, twice
        otir
        otir
        ret

; Points the VDP's address at HL for writing.
set_vram_write:
        ld a, l
        out (vdp_control), a
        ld a, h
        or vram_write
        out (vdp_control), a
        ret

; ---- frame interrupt ----
frame:  push af
        push bc
        push de
        push hl
        in a, (vdp_control)         ; status read: acknowledges the interrupt

        ld hl, sprite_ram
        ld de, velocity_ram
        ld b, sprite_count
move:   ld a, (de)                  ; Y wraps inside the screen, never 0xD0
        add a, (hl)
        cp screen_lines
        jr c, move_y
        sub screen_lines
move_y: ld (hl), a
        inc hl
        inc de
        ld a, (de)                  ; X wraps at 256
        add a, (hl)
        ld (hl), a
        inc hl
        inc hl
        inc hl
        inc de
        djnz move

        ld hl, (tone)               ; tone 0 sweeps through its 10-bit range
        inc hl
        ld a, h
        and 3
        ld h, a
        ld (tone), hl
        ld a, l
        and 0Fh
        or 80h                      ; latch tone 0, low four bits
        out (psg_port), a
        ld a, l                     ; then bits 4-9
        srl h
        rra
        srl h
        rra
        srl h
        rra
        srl h
        rra
        and 3Fh
        out (psg_port), a

        ld a, 1
        ld (frame_flag), a
        pop hl
        pop de
        pop bc
        pop af
        ei
        reti

; ---- data ----
vdp_registers:
        db 02h, 80h                 ; 0: Graphics II
        db 82h, 81h                 ; 1: 16 KB, display off while loading, 16 x 16 sprites
        db 0Eh, 82h                 ; 2: names at 0x3800
        db 0FFh, 83h                ; 3: colours at 0x2000
        db 03h, 84h                 ; 4: patterns at 0x0000
        db 76h, 85h                 ; 5: sprite attributes at 0x3B00
        db 03h, 86h                 ; 6: sprite patterns at 0x1800
        db 0F4h, 87h                ; 7: white text, dark blue backdrop
vdp_registers_length equ $ - vdp_registers

sprites:                            ; Y, X, name, colour
        db  10,  20, 0, 15
        db  10,  60, 4,  9
        db  10, 100, 0,  3
        db  10, 140, 4, 11
        db  50,  30, 0,  6
        db  50,  70, 4, 13
        db  50, 110, 0,  2
        db  50, 150, 4, 14
        db  90,  40, 0,  8
        db  90,  80, 4,  7
        db  90, 120, 0,  5
        db  90, 160, 4, 10
        db 130,  50, 0, 12
        db 130,  90, 4,  1
        db 130, 130, 0, 15
        db 130, 170, 4,  4
        db sprite_end
sprites_length equ $ - sprites

velocities:                         ; dY, dX
        db 1, 1,  1, 2,  2, 1,  1, 3
        db 3, 1,  2, 2,  1, 255,  2, 254
        db 1, 2,  3, 255,  2, 1,  1, 1
        db 2, 3,  1, 254,  3, 2,  1, 255
velocities_length equ $ - velocities

shapes:                             ; name 0: a ball (left half, then right half)
        db 07h, 1Fh, 3Fh, 7Fh, 7Fh, 0FFh, 0FFh, 0FFh
        db 0FFh, 0FFh, 0FFh, 7Fh, 7Fh, 3Fh, 1Fh, 07h
        db 0E0h, 0F8h, 0FCh, 0FEh, 0FEh, 0FFh, 0FFh, 0FFh
        db 0FFh, 0FFh, 0FFh, 0FEh, 0FEh, 0FCh, 0F8h, 0E0h
                                    ; name 4: a ring
        db 07h, 18h, 20h, 40h, 40h, 80h, 80h, 80h
        db 80h, 80h, 80h, 40h, 40h, 20h, 18h, 07h
        db 0E0h, 18h, 04h, 02h, 02h, 01h, 01h, 01h
        db 01h, 01h, 01h, 02h, 02h, 04h, 18h, 0E0h
shapes_length equ $ - shapes

psg_setup:
        db 80h, 10h                 ; tone 0 period 0x100
        db 90h                      ; tone 0 loudest
        db 0A5h, 0Ch                ; tone 1 period 0x0C5
        db 0B2h                     ; tone 1 a little softer
        db 0CAh, 08h                ; tone 2 period 0x08A
        db 0D4h
        db 0E4h                     ; noise: white, fastest rate
        db 0F6h
psg_setup_length equ $ - psg_setup
