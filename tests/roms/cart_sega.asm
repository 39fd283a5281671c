; A 128 KB cartridge for the Sega mapper, banks 0-3 (banks 4-7 are
; cart_sega_hi.asm; the build joins the two into cart_sega_128k.bin).
; Bank k holds 0B0h + k at its offsets 03FFh, 0400h and 3FFFh. The program
; lives in the first 1 KB, which never moves, and counts at 0C000h each of
; these that fails:
;  - at start the slots show banks 0, 1, 2 (also after a hard reset);
;  - each slot, given banks 0-15 through its register, shows bank n mod 8;
;    0x0400 follows slot 0, 0x03FF shows bank 0 whatever slot 0 shows;
;  - ROM bytes in all three slots survive writes;
;  - 0xFFFC-0xFFFF read back what was written; 0xFFFC changes no slot.
; The verdict becomes the backdrop colour: 3 (light green) no error,
; 8 (medium red) an error.
ERRORS  equ 0C000h
STACK   equ 0DFF0h
MARK    equ 0B0h
OK      equ 3
FAILED  equ 8

        org 0
        di
        ld sp, STACK
        xor a
        ld (ERRORS), a
        ld hl, at_start
        ld b, 3
        call expect

        ld hl, 0FFFDh       ; slot 0: its last byte and 0x0400 follow it,
        ld c, 7             ; bank n mod 8
        ld de, 3FFFh
        call sweep
        ld de, 0400h
        call sweep
        ld c, 0             ; 0x03FF stays on bank 0
        ld de, 03FFh
        call sweep
        ld c, 7
        inc hl              ; slot 1
        ld de, 7FFFh
        call sweep
        inc hl              ; slot 2
        ld de, 0BFFFh
        call sweep

        ld a, 0EEh          ; the slots now show bank 7; ROM stays ROM
        ld (03FFh), a
        ld (0400h), a
        ld (7FFFh), a
        ld (0BFFFh), a
        ld hl, after_rom_writes
        ld b, 4
        call expect

        ld hl, 0FFFCh       ; RAM under the registers
        ld (hl), 5Ch
        inc l
        ld (hl), 0Dh        ; slot 0: bank 5
        inc l
        ld (hl), 0Eh        ; slot 1: bank 6
        inc l
        ld (hl), 0Ch        ; slot 2: bank 4
        ld hl, after_registers
        ld b, 7
        call expect

        ld a, (ERRORS)
        or a
        ld a, OK
        jr z, show
        ld a, FAILED
show:   out (0BFh), a       ; VDP register 7: backdrop colour
        ld a, 87h
        out (0BFh), a
        jr $

; Gives the register at HL the values n = 0-15; after each, counts an error
; unless the byte at DE is MARK + (n AND C).
sweep:  ld b, 0
sweep_next:
        ld (hl), b
        ld a, c
        and b
        or MARK
        ex de, hl
        cp (hl)
        ex de, hl
        call nz, error
        inc b
        bit 4, b
        jr z, sweep_next
        ret

; Counts an error for each of the B entries at HL (address, byte) whose
; address does not hold its byte.
expect: ld e, (hl)
        inc hl
        ld d, (hl)
        inc hl
        ld a, (de)
        cp (hl)
        inc hl
        call nz, error
        djnz expect
        ret

error:  ld a, (ERRORS)
        inc a
        ld (ERRORS), a
        ret

holds   MACRO address, byte
        dw address
        db byte
        ENDM
at_start:
        holds 3FFFh, MARK+0
        holds 7FFFh, MARK+1
        holds 0BFFFh, MARK+2
after_rom_writes:
        holds 03FFh, MARK+0
        holds 0400h, MARK+7
        holds 7FFFh, MARK+7
        holds 0BFFFh, MARK+7
after_registers:
        holds 0FFFCh, 5Ch
        holds 0FFFDh, 0Dh
        holds 0FFFEh, 0Eh
        holds 0FFFFh, 0Ch
        holds 3FFFh, MARK+5
        holds 7FFFh, MARK+6
        holds 0BFFFh, MARK+4

; The rest of bank 0, then banks 1-3.
        ds 03FFh - $, 0FFh
        db MARK+0, MARK+0
        ds 3FFFh - $, 0FFh
        db MARK+0

bank    MACRO num
        ds 03FFh, 0FFh
        db MARK+num, MARK+num
        ds 3FFFh - 0401h, 0FFh
        db MARK+num
        ENDM

        bank 1
        bank 2
        bank 3
